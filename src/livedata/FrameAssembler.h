#pragma once

#include "livedata/FrameDecoder.h"

#include <QString>

namespace tarquel {

// Cuts the received text into frames at carriage returns. A carriage return ends a frame only
// when more than 3 characters are waiting; otherwise it is dropped and the characters stay to be
// completed by later ones. The carriage return is never part of a frame; every other character
// (a line feed too) is.
//
// A frame whose processing fails (a field that is not a number, an arithmetic error) is dropped
// on its own: the rest of the text is still assembled and processed.
class FrameAssembler {
public:
    explicit FrameAssembler(FrameProcessor& processor);

    // text: received bytes as characters, one per byte (Latin-1).
    void CreateFrame(QStringView text);

    // The characters received since the last frame was handed on.
    const QString& frameBuffer() const { return frameBuffer_; }
    // Frames dropped because their processing failed, since construction.
    int failedFrames() const { return failedFrames_; }

private:
    void emitFrame();

    FrameProcessor& processor_;
    QString frameBuffer_;
    int failedFrames_ = 0;
};

}  // namespace tarquel
