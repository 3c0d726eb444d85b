#include "livedata/FrameAssembler.h"
#include "platform/Errors.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tarquel {
namespace {

// Records the frames; a frame containing "bad" fails like a field that is not a number.
class RecordingProcessor : public FrameProcessor {
public:
    void ProcessData(QString& frame) override {
        frames << frame;
        if (frame.contains(QLatin1String("bad"))) {
            throw TypeMismatchError();
        }
    }
    QStringList frames;
};

TEST(FrameAssembler, CarriageReturnsCutFramesOfMoreThanThreeCharacters) {
    struct Row {
        QStringList chunks;  // successive receive events
        QStringList frames;
        QString left;
    };
    const Row rows[] = {
        {{QStringLiteral("I 1 2 3\r")}, {QStringLiteral("I 1 2 3")}, QString()},
        {{QStringLiteral("ab\rcdef\r")}, {QStringLiteral("abcdef")}, QString()},
        {{QStringLiteral("abc\r")}, {}, QStringLiteral("abc")},
        {{QStringLiteral("abcd\r")}, {QStringLiteral("abcd")}, QString()},
        {{QStringLiteral("I 1 2\r\nI 3 4\r\nI 5")},
         {QStringLiteral("I 1 2"), QStringLiteral("\nI 3 4")},
         QStringLiteral("\nI 5")},
        {{QStringLiteral("I 1 "), QStringLiteral("2 3"), QStringLiteral("\rI 4")},
         {QStringLiteral("I 1 2 3")},
         QStringLiteral("I 4")},
        {{QStringLiteral("\r\r\r"), QStringLiteral("x\xFF\x01y\r")},
         {QStringLiteral("x\xFF\x01y")},
         QString()},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.chunks.join(QLatin1Char('|')).toStdString());
        RecordingProcessor processor;
        FrameAssembler assembler(processor);
        for (const QString& chunk : r.chunks) {
            assembler.CreateFrame(chunk);
        }
        EXPECT_EQ(processor.frames, r.frames);
        EXPECT_EQ(assembler.frameBuffer(), r.left);
    }
}

TEST(FrameAssembler, FailedFrameIsDroppedOnItsOwn) {
    RecordingProcessor processor;
    FrameAssembler assembler(processor);
    assembler.CreateFrame(QStringLiteral("I 1 bad\rI 2 ok\rI 33"));
    assembler.CreateFrame(QStringLiteral("\r"));
    EXPECT_EQ(processor.frames, (QStringList{QStringLiteral("I 1 bad"), QStringLiteral("I 2 ok"),
                                             QStringLiteral("I 33")}));
    EXPECT_EQ(assembler.failedFrames(), 1);
    EXPECT_TRUE(assembler.frameBuffer().isEmpty());
}

}  // namespace
}  // namespace tarquel
