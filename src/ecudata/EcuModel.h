#pragma once

// What the zone exchanges work on: the program context's ECU images, its pending
// requests and the scale constants. The context owns the three and hands out this view.

namespace ecudata {

struct ConfigScale;
struct EcuImages;
struct EcuRequests;

struct EcuModel {
    EcuImages& images;
    EcuRequests& requests;
    ConfigScale& scale;
};

} // namespace ecudata
