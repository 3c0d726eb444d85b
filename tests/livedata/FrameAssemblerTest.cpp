#include "livedata/FrameAssembler.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace tarquel {
namespace {

// Records the frames; a frame containing "bad" fails like a field that is not a number.
struct RecordingProcessor : FrameProcessor {
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
        QStringList events, frames;
        QString left;
    };
    const Row rows[] = {
        {{"I 1 2 3\r"}, {"I 1 2 3"}, ""},
        {{"ab\rcdef\r"}, {"abcdef"}, ""},  // the first carriage return is dropped
        {{"abc\r"}, {}, "abc"},
        {{"I 1 2\r\nI 3 4\r\nI 5"}, {"I 1 2", "\nI 3 4"}, "\nI 5"},
        {{"I 1 ", "2 3", "\rI 4"}, {"I 1 2 3"}, "I 4"},  // a CR first in an event ends the frame
        {{"I 1 bad\rI 2 ok\r"}, {"I 1 bad", "I 2 ok"}, ""},  // a failing frame is dropped alone
    };
    for (const Row& r : rows) {
        RecordingProcessor processor;
        FrameAssembler assembler(processor);
        for (const QString& event : r.events) {
            assembler.CreateFrame(event);
        }
        EXPECT_EQ(processor.frames, r.frames) << r.events.join(u'|').toStdString();
        EXPECT_EQ(assembler.frameBuffer(), r.left) << r.events.join(u'|').toStdString();
    }
}

}  // namespace
}  // namespace tarquel
