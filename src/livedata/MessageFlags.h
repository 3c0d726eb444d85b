#pragma once

#include <QtGlobal>

namespace tarquel {

// The bits of the information flag word (infoMessageFlags): each raises one line of the
// information list.
enum class InfoFlag : quint16 {
    TiltOver10 = 1,
    TiltOver45 = 2,
    FrameLength = 16,
    NoHeader = 32,
    PressBeginTest = 128,
    PointVehicle = 256,
    CollectionComplete = 512,
    UnitCalibrated = 1024,
};

// The bits of the software flag word (swMessageFlags).
enum class SwFlag : quint16 {
    Receiving = 1,
    RoutedToTerminal = 2,
};

constexpr quint16 bitOf(InfoFlag flag) {
    return static_cast<quint16>(flag);
}
constexpr quint16 bitOf(SwFlag flag) {
    return static_cast<quint16>(flag);
}

// The two status flag words that the receive path, the frame decoder and the calibration
// workflow raise and clear, and that the status messages show.
class MessageFlags {
public:
    void SetInfoMessage(InfoFlag flag) { info_ = static_cast<quint16>(info_ | bitOf(flag)); }
    void ClearInfoMessage(InfoFlag flag) { info_ = static_cast<quint16>(info_ & ~bitOf(flag)); }
    // Sets the flag when on, clears it otherwise.
    void setInfoMessage(InfoFlag flag, bool on) {
        on ? SetInfoMessage(flag) : ClearInfoMessage(flag);
    }
    void SetSWMessage(SwFlag flag) { sw_ = static_cast<quint16>(sw_ | bitOf(flag)); }
    void ClearSWMessage(SwFlag flag) { sw_ = static_cast<quint16>(sw_ & ~bitOf(flag)); }

    bool info(InfoFlag flag) const { return (info_ & bitOf(flag)) != 0; }
    bool sw(SwFlag flag) const { return (sw_ & bitOf(flag)) != 0; }
    quint16 infoMessageFlags() const { return info_; }
    quint16 swMessageFlags() const { return sw_; }

private:
    quint16 info_ = 0;
    quint16 sw_ = 0;
};

}  // namespace tarquel
