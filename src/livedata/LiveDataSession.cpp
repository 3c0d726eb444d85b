#include "livedata/LiveDataSession.h"

namespace tarquel {

LiveDataSession::LiveDataSession(const LiveDataWiring& w)
    : display_(w.view, w.clock),
      heading_(w.state, w.boxes, w.modes),
      gauge_(w.gauge),
      decoder_(w.state, heading_, gauge_, w.modes, display_),
      assembler_(decoder_),
      status_(w.state, w.status, w.tiltPopups),
      receivePath_(w.MSComm1, w.clock, w.state, assembler_, decoder_, status_) {
    receivePath_.setAfterEvent([this] { display_.endOfEvent(); });
}

}  // namespace tarquel
