#include "livedata/FrameDecoder.h"

#include "livedata/DisplayFormat.h"
#include "platform/Errors.h"

#include <QLatin1StringView>
#include <algorithm>
#include <charconv>
#include <climits>
#include <string>
#include <system_error>

namespace tarquel {

namespace {

constexpr int kFilterDivisor = 32;
constexpr int kAccelFields = 7;
constexpr int kPendFields = 6;
constexpr int kShortFrameFields = 4;  // what a unit in the other mode sends
constexpr int kMismatchLimit = 50;
constexpr qsizetype kMinimumFrame = 3;

}  // namespace

int fCharsInString(QStringView text, QStringView search, int compare) {
    if (search.isEmpty()) {
        return 0;
    }
    const Qt::CaseSensitivity cs = compare == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
    int count = 0;
    for (qsizetype at = text.indexOf(search, 0, cs); at >= 0;
         at = text.indexOf(search, at + 1, cs)) {
        ++count;
    }
    return count;
}

double ParseFieldValue(QStringView field) {
    // Syntax check and conversion to ASCII in one pass; fields longer than the buffer (which
    // the unit never sends) take the slow path.
    char small[64];
    std::string large;
    char* digits = small;
    if (field.size() > static_cast<qsizetype>(sizeof small)) {
        large.resize(static_cast<std::size_t>(field.size()));
        digits = large.data();
    }
    std::size_t length = 0;
    qsizetype i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == u'+' || field[i] == u'-')) {
        negative = field[i] == u'-';
        ++i;
    }
    bool point = false;
    bool digit = false;
    bool nonZeroIntegerDigit = false;
    for (; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digit = true;
            nonZeroIntegerDigit = nonZeroIntegerDigit || (!point && c != u'0');
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            throw TypeMismatchError();
        }
        digits[length++] = static_cast<char>(c);
    }
    if (!digit) {
        throw TypeMismatchError();
    }
    double value = 0;
    const char* end = digits + length;
    const auto result = std::from_chars(digits, end, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range is an overflow for a number of at least 1, else a value too small to be
        // told from 0.
        if (nonZeroIntegerDigit) {
            throw OverflowError();
        }
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != end) {
        throw TypeMismatchError();
    }
    return negative ? -value : value;
}

FrameDecoder::FrameDecoder(MessageFlags& flags, const UnitLink& link, HeadingCalculator& heading,
                           CalGaugeDriver& gauge, CalModeCommands& modes, LiveDataView& view)
    : flags_(flags), link_(link), heading_(heading), gauge_(gauge), modes_(modes), view_(view) {}

void FrameDecoder::ProcessData(QString& frame) {
    MessageFlags& messages = flags_;
    const qsizetype header = frame.indexOf(QLatin1StringView("I "), 0, Qt::CaseInsensitive);
    if (header < 0) {
        messages.SetInfoMessage(InfoFlag::NoHeader);
        ResetDataWindows();
        return;
    }
    messages.ClearInfoMessage(InfoFlag::NoHeader);
    if (header > 0) {
        frame.remove(0, header);
    }
    if (frame.size() < kMinimumFrame) {
        return;
    }

    const int fields = fCharsInString(frame, u" ", 1);
    const CalMode mode = modes_.calMode();
    const int expected = mode != CalMode::Accelerometer ? kPendFields : kAccelFields;
    if (fields != expected) {
        if (fields == kShortFrameFields) {
            ChangeCalMode(false);
        }
        messages.SetInfoMessage(InfoFlag::FrameLength);
        ResetDataWindows();
        return;
    }

    messages.ClearInfoMessage(InfoFlag::FrameLength);
    // Field i lies between the i-th space (the header's space is the first) and the next one.
    const QStringView text(frame);
    // Local: the heading computation may let events run (a message box, the mode command), and a
    // frame processed meanwhile must not change this one's values.
    std::vector<double> values;
    values.reserve(kAccelFields);
    qsizetype p = 1;
    for (int i = 0; i < fields; ++i) {
        qsizetype next = text.indexOf(u' ', p + 1);
        if (next < 0) {
            next = text.size();
        }
        values.push_back(ParseFieldValue(text.sliced(p + 1, next - p - 1)));
        p = next;
    }

    heading_.FilterChannels(values, kFilterDivisor);
    const HeadingResult heading = heading_.CalculateHeading(values, mode);
    if (heading.selectPendulum) {
        modes_.selectCalMode(CalMode::Pendulum);
    } else if (!heading.noAccelerometers) {
        messages.setInfoMessage(InfoFlag::TiltOver10, heading.over10);
        if (mode == CalMode::Pendulum) {
            messages.setInfoMessage(InfoFlag::TiltOver45, heading.over45);
        }
    }
    steady_.frame(link_.clock().tickCountUs() / 1000, values.at(Slot::Hx), values.at(Slot::Hy),
                  values.at(Slot::CalcHeading));
    if (test_ != nullptr && test_->testRunning()) {
        if (gauge_.UpdateCalGauge(values.at(Slot::CalcHeading)) && view_.getDataEnabled()) {
            view_.focusGetData();
        }
        gauge_.showSteadiness(steady_.steady());
    }
    ShowChannelValues(values);
    if (observer_ != nullptr) {
        observer_->frameShown(values);
    }

    if (frameCount_ > kFrameCountWrap) {
        frameCount_ = 0;
    }
    ++frameCount_;
    view_.setFrameCountCaption(FormatFrameCount(frameCount_));

    int length = static_cast<int>(std::min<qsizetype>(frame.size(), INT_MAX));
    ShowFrameRate(length, link_.dataFormat());
}

void FrameDecoder::ChangeCalMode(bool reset) {
    if (reset) {
        calModeMismatchCount_ = 0;
        calModeSwitched_ = false;
        return;
    }
    ++calModeMismatchCount_;
    if (calModeMismatchCount_ > kMismatchLimit) {
        calModeMismatchCount_ = kMismatchLimit;
        if (!calModeSwitched_) {
            // Set first: the mode command talks to the unit and lets events run meanwhile.
            calModeSwitched_ = true;
            modes_.selectCalMode(modes_.calMode() != CalMode::Accelerometer ? CalMode::Accelerometer
                                                                            : CalMode::Pendulum);
        }
    }
}

void FrameDecoder::ShowChannelValues(const std::vector<double>& values) {
    for (int slot = 0; slot < Slot::Count; ++slot) {
        view_.setDataBoxCaption(
            slot, FormatChannelValue(slot, values.at(static_cast<std::size_t>(slot))));
    }
}

void FrameDecoder::ShowFrameRate(int& length, DataFormat format) {
    const double rate = FrameRateFor(length, format);
    if (format == DataFormat::Decimal || format == DataFormat::Binary) {
        ++length;
    }
    if (LeadingNumber(view_.frameRateCaption()) != rate) {
        view_.setFrameRateCaption(FrameRateCaption(rate));
    }
}

void FrameDecoder::ResetDataWindows() {
    steady_.reset();
    for (int slot = 0; slot < Slot::Count; ++slot) {
        view_.setDataBoxCaption(slot, QString());
    }
}

}  // namespace tarquel
