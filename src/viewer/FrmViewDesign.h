#pragma once

// The signal viewer's designed controls: their table and the places, in twips, that the
// window's procedures move them back to (the readouts, the slider beside the page
// buttons, the busy bar). The window's behaviour is in FrmView.

class QWidget;

namespace viewer {

// The readout column: the eye marks (PctMostra) left of the readouts (LblSignal).
inline constexpr int MostraLeft = 9555;
inline constexpr int MostraSize = 255;
inline constexpr int ReadoutLeft = 9855;
inline constexpr int ReadoutTop = 705;
inline constexpr int ReadoutWidth = 2400;
// The slider under the plot; page buttons of SeekWidth take its ends when a log is paged.
inline constexpr int SliderLeft = 315;
inline constexpr int SliderTop = 7410;
inline constexpr int SliderHeight = 375;
inline constexpr int SeekWidth = 600;
// The busy indicator: the bar ShpLoading grows along the label LblLoading.
inline constexpr int LoadingWidth = 4155;
// The zero marks LblZero, in PctOffset.
inline constexpr int ZeroMarkWidth = 195;
// Where the channel set-up Frame1 opens.
inline constexpr int SetUpLeft = 15;
inline constexpr int SetUpTop = 30;

// Captions the window gives itself and its busy indicator.
inline constexpr char WindowCaption[] = "View 1.1 - ";
inline constexpr char LoadingCaption[] = "LOADING";
inline constexpr char SavingCaption[] = "SAVING";
// The eye of a shown channel (PctMostra).
inline constexpr char EyeMark[] = "\u25c9";

// Builds the viewer's controls below view (named FrmView), in their designed places and
// looks.
void BuildViewControls(QWidget& view);

} // namespace viewer
