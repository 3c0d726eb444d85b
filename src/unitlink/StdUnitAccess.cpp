#include "unitlink/StdUnitAccess.h"

#include "platform/Errors.h"
#include "unitlink/HexText.h"

#include <initializer_list>

namespace tarquel {

namespace {

constexpr char kReadCommand = 0x7D;
constexpr char kWriteCommand = 0x7B;
constexpr int kReadPauseMs = 20;
constexpr int kAnswerTimeoutMs = 100;
constexpr int kWritePauseMs = 50;
constexpr int kCharacterPauseMs = 50;
constexpr int kIdentifyPassMs = 5000;

char byteOf(const QString& hex, int index) {
    return static_cast<char>(hex.mid(index, 2).toInt(nullptr, 16));
}

QByteArray bytesOf(std::initializer_list<char> bytes) {
    return QByteArray(bytes.begin(), static_cast<qsizetype>(bytes.size()));
}

// Closes a port the routine opened itself; a failing close must not hide the original result.
void closeIfOpened(SerialPort& port, bool openedHere) {
    if (!openedHere) {
        return;
    }
    try {
        port.setPortOpen(false);
    } catch (const RuntimeError&) {
    }
}

}  // namespace

StdUnitAccess::StdUnitAccess(Clock& clock, MessageBoxes& boxes) : clock_(clock), boxes_(boxes) {}

void StdUnitAccess::Delay(int ms) {
    clock_.delay(ms);
}

void StdUnitAccess::SendCommandText(const QString& text, SerialPort& port) {
    for (const QChar c : text) {
        port.output(QByteArray(1, static_cast<char>(c.unicode() & 0xFF)));
        Delay(kCharacterPauseMs);
    }
}

QString StdUnitAccess::ReadUnitWord(SerialPort& port, const QString& address) {
    bool openedHere = false;
    try {
        if (!port.portOpen()) {
            port.setPortOpen(true);
            openedHere = true;
        }
        if (!IsWordText(address)) {
            boxes_.show({QStringLiteral("Read locations must be 4 hexadecimal digits in length."),
                         QStringLiteral("Memory Read Failed!"), MsgIcon::Critical, MsgButtons::OK});
            closeIfOpened(port, openedHere);
            return kReadError;
        }
        const int savedInputLen = port.inputLen();
        port.setInputLen(0);

        port.output(QByteArray(1, kReadCommand));
        Delay(kReadPauseMs);
        // Streamed data that arrived before the answer must not be taken for it.
        port.discardInput();
        port.output(bytesOf({byteOf(address, 0), byteOf(address, 2)}));

        // The byte count is tested before the clock, so a complete answer is taken at once.
        const qint64 deadline = clock_.tickCountUs() + kAnswerTimeoutMs * 1000;
        while (port.inBufferCount() < 2) {
            const qint64 left = deadline - clock_.tickCountUs();
            if (left <= 0) {
                break;
            }
            port.waitForInput(2, left);
        }
        const QByteArray answer = port.input();

        QString result = kReadError;
        if (answer.size() >= 2) {
            int value = static_cast<quint8>(answer[0]) * 256 + static_cast<quint8>(answer[1]);
            if (value > 32767) {
                value -= 65536;
            }
            result = HexWord(static_cast<float>(value));
        }
        port.setInputLen(savedInputLen);
        closeIfOpened(port, openedHere);
        return result;
    } catch (const RuntimeError&) {
        closeIfOpened(port, openedHere);
        return kReadError;
    }
}

bool StdUnitAccess::WriteUnitWord(SerialPort& port, const QString& address, const QString& value,
                                  bool skipVerification) {
    bool openedHere = false;
    try {
        if (!port.portOpen()) {
            port.setPortOpen(true);
            openedHere = true;
        }
        if (!IsWordText(address) || !IsWordText(value)) {
            closeIfOpened(port, openedHere);
            return false;
        }
        port.output(bytesOf({kWriteCommand, byteOf(address, 0), byteOf(address, 2),
                             byteOf(value, 0), byteOf(value, 2)}));
        Delay(kWritePauseMs);
        bool result = true;
        if (!skipVerification) {
            result = ReadUnitWord(port, address) == value;
            Delay(kWritePauseMs);
        }
        closeIfOpened(port, openedHere);
        return result;
    } catch (const RuntimeError&) {
        closeIfOpened(port, openedHere);
        return false;
    }
}

bool StdUnitAccess::SetWriteAccess(SerialPort& port, bool enable) {
    if (!unitMap_.identified) {
        QString idText;
        bool isB600Family = false;
        if (!IdentifyUnit(port, idText, isB600Family)) {
            return false;
        }
    }
    const QString& accessAddress = unitMap_.accessAddress;
    QString code;
    if (unitMap_.accessHighByteOnly) {
        code = enable ? QStringLiteral("2E") : QStringLiteral("00");
        const QString current = ReadUnitWord(port, accessAddress);
        if (current != kReadError &&
            WriteUnitWord(port, accessAddress, code + current.right(2), false)) {
            return true;
        }
    } else {
        code = enable ? QStringLiteral("3A") : QStringLiteral("00");
        if (WriteUnitWord(port, accessAddress, code + code, false)) {
            return true;
        }
    }
    const QString check = ReadUnitWord(port, accessAddress);
    if (unitMap_.accessHighByteOnly) {
        return check.left(2) == code;
    }
    return check.left(2) == code || check.right(2) == code;
}

bool StdUnitAccess::identifyPass(SerialPort& port, bool firstPass, QString& idText) {
    clock_.doEvents();
    const QString prefix = firstPass ? QStringLiteral("C") : QStringLiteral("4");
    const qint64 deadline = clock_.tickCount() + kIdentifyPassMs;
    QString text;
    int terminators = 0;
    for (int index = 0; terminators < 4; index += 2) {
        if (clock_.tickCount() >= deadline || index > 0x0FFE) {
            return false;
        }
        const QString address = prefix + HexWord(static_cast<float>(index)).right(3);
        const QString word = ReadUnitWord(port, address);
        if (word == kReadError) {
            return false;
        }
        const int first = word.left(2).toInt(nullptr, 16);
        const int second = word.right(2).toInt(nullptr, 16);
        const QChar hi(first);
        const QChar lo(second);
        if (second == 0) {
            ++terminators;
            if (terminators < 4) {
                text += hi;
                text += QStringLiteral("\r\n");
            } else {
                text += hi;
            }
        } else if (first == 0) {
            ++terminators;
            if (terminators < 4) {
                text += QLatin1Char('\r');
                text += lo;
            }
        } else {
            text += hi;
            text += lo;
        }
    }
    for (const char* keyword : {"version", "copyright", "corvane industries"}) {
        if (!text.contains(QLatin1String(keyword), Qt::CaseInsensitive)) {
            return false;
        }
    }
    if (!firstPass) {
        if (text.isEmpty() || text.at(0).unicode() != 255 ||
            !text.contains(QLatin1String("rev"), Qt::CaseInsensitive)) {
            return false;
        }
        const QString revisionWord = ReadUnitWord(port, QStringLiteral("16EA"));
        if (revisionWord == kReadError) {
            return false;
        }
        const QString revision = QString(QChar(revisionWord.left(2).toInt(nullptr, 16))) +
                                 QChar(revisionWord.right(2).toInt(nullptr, 16));
        const int start =
            static_cast<int>(text.indexOf(QLatin1String("rev"), 0, Qt::CaseInsensitive)) + 1;
        text = ReplaceFrom(text, QStringLiteral("rev"), QStringLiteral("Rev ") + revision, start, 1,
                           true);
    }
    idText = text;
    return true;
}

bool StdUnitAccess::IdentifyUnit(SerialPort& port, QString& idText, bool& isB600Family) {
    try {
        for (const bool firstPass : {true, false}) {
            QString text;
            if (identifyPass(port, firstPass, text)) {
                idText = text;
                isB600Family = firstPass;
                if (!unitMap_.identified) {
                    SetUnitMap(unitMap_, firstPass, text);
                }
                return true;
            }
        }
    } catch (const RuntimeError&) {
    }
    return false;
}

bool StdUnitAccess::ReadChecksumByte(SerialPort& port, QString& text) {
    try {
        if (!unitMap_.identified) {
            QString idText;
            bool isB600Family = false;
            if (!IdentifyUnit(port, idText, isB600Family)) {
                return false;
            }
        }
        const QString word = ReadUnitWord(port, unitMap_.checksumAddress);
        if (word == kReadError) {
            return false;
        }
        text = word.left(2);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace tarquel
