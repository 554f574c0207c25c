#pragma once

// The ECU's side of the wire protocol: request frames "A" 0x02 LEN CMD payload XOR
// (LEN = payload + 3) come in, reply frames "B" 0x01 LEN CMD STATUS data XOR
// (LEN = data + 4) go out. The XOR byte makes the XOR of a whole frame 0.
// Written apart from the program's link on purpose: a framing bug shared by both
// sides would hide itself.

#include <QByteArray>
#include <QList>

namespace sim {

// The command bytes this ECU serves.
enum CmdCode : quint8 {
    CMD_GET_ADR_VAR = 1,
    CMD_READ_MEM_ZONE = 3,
    CMD_SET_ECU_SLAVE = 4,
    CMD_SET_ECU_RUN = 5,
    CMD_SET_ECU_PRG = 6,
    CMD_ERASE_FLASH = 7,
    CMD_WRT_FLASH_ZONE = 8,
    CMD_GET_ECO = 9,
    CMD_WRT_FLASH_END = 10,
    CMD_READ_MEM1 = 12,
    CMD_READ_MEM2 = 13,
    CMD_READ_MEM3 = 14,
    CMD_WRT_MEM2 = 16,
    CMD_WRT_MEM3 = 17,
    CMD_READ_TBL_COR = 18,
    CMD_WRT_TBL_COR = 19,
    CMD_CANC_ERR = 20,
    CMD_SAVE_FLASH = 21,
    CMD_READ_ERR = 26,
    CMD_READ_SMPL_BNZ = 27,
    CMD_READ_SMPL_GAS = 28,
    CMD_CANC_SMPL_BNZ = 29,
    CMD_CANC_SMPL_GAS = 30,
    CMD_READ_SMPL_BNZ1 = 31,
    CMD_READ_SMPL_GAS1 = 32,
    CMD_READ_FIRMWARE = 33,
    CMD_WRIT_DCOL = 44,
    CMD_READ_DCOL_FL = 48,
    CMD_READ_COMP_RID_TEMP = 54,
    CMD_READ_COMP_GAS_TEMP = 55,
    CMD_READ_COMP_PRES_GAS = 56,
    CMD_WRITE_COMP_RID_TEMP = 57,
    CMD_WRITE_COMP_GAS_TEMP = 58,
    CMD_WRITE_COMP_PRES_GAS = 59,
    CMD_READ_EMUS = 65,
    CMD_WRIT_EMUS = 66,
    CMD_READ_EMUS_FL = 67,
    CMD_READ_CMP_SMAG = 93,
    CMD_WRITE_CMP_SMAG = 94,
};

// Reply status bytes.
inline constexpr quint8 kStatusDone = 0;
inline constexpr quint8 kStatusNotExecuted = 254;
inline constexpr quint8 kStatusBadChecksum = 255;

inline constexpr char kRequestHeader = 0x41;
inline constexpr char kRequestByte2 = 0x02;
inline constexpr char kReplyHeader = 0x42;
inline constexpr char kReplyByte2 = 0x01;

// XOR of every byte; 0 for an empty array.
quint8 XorOf(const QByteArray& bytes);

// A whole reply frame. Data longer than 251 bytes cannot be framed and is cut.
QByteArray BuildReply(quint8 command, quint8 status, const QByteArray& data);

// A whole request frame, as the program sends it (for tests and tools).
QByteArray BuildRequest(quint8 command, const QByteArray& payload = {});

// The payload of a request frame (between the command and the checksum bytes).
QByteArray RequestPayload(const QByteArray& frame);

// Cuts request frames out of the byte stream by their length byte. Bytes before a
// header are skipped; a partial frame that has seen no byte for longer than the gap is
// dropped, so a request the program abandoned half-way cannot swallow the next one.
// Frames are returned whole, whatever their checksum: judging it is the ECU's job.
class RequestAssembler {
public:
    explicit RequestAssembler(double gapUsec) : gapUsec_(gapUsec) {}

    QList<QByteArray> Push(const QByteArray& bytes, double nowUsec);
    void Clear() { buffer_.clear(); }
    int Pending() const { return static_cast<int>(buffer_.size()); }

private:
    void SkipToHeader();

    QByteArray buffer_;
    double lastByteUsec_ = 0;
    double gapUsec_;
};

} // namespace sim
