#include "livedata/LiveDataSession.h"

namespace tarquel {

LiveDataSession::LiveDataSession(const LiveDataWiring& w)
    : port_(w.link.port()),
      display_(w.view, w.clock),
      gauge_(w.gauge),
      decoder_(flags_, w.link, w.heading, gauge_, w.modes, display_),
      assembler_(decoder_),
      status_(flags_, w.link, w.status, w.tiltPopups),
      receivePath_(w.link.port(), w.clock, flags_, assembler_, decoder_, status_, w.boxes) {
    receivePath_.setAfterEvent([this] { display_.endOfEvent(); });
}

void LiveDataSession::start() {
    if (started_) {
        return;
    }
    started_ = true;
    port_.setRThreshold(1);
    port_.setInputLen(0);
    receivePath_.start();
}

void LiveDataSession::setTestStatus(const TestStatus* test) {
    decoder_.setTestStatus(test);
    receivePath_.setTestStatus(test);
}

}  // namespace tarquel
