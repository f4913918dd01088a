#pragma once
// Const reads of an envelope whose points were added without a rebuild (the
// table's draws add them so): the first read builds a copy, later reads of
// the same points share it. Safe from several threads at once; the envelope
// itself is never written.
#include <cstddef>
#include <mutex>

#include "sampler/hull_envelope.h"

namespace ars::detail {

class EnvelopeReader {
 public:
  EnvelopeReader() = default;
  // A copy or an assignment reads another envelope: it builds its own.
  EnvelopeReader(const EnvelopeReader&) {}
  EnvelopeReader& operator=(const EnvelopeReader&) {
    const std::lock_guard<std::mutex> lock(mutex_);
    valid_ = false;
    return *this;
  }

  // f(the envelope built from every point of e).
  template <class F>
  auto read(const HullEnvelope& e, F&& f) const {
    if (!e.dirty()) return f(e);
    const std::lock_guard<std::mutex> lock(mutex_);
    // Between builds points are only added: version and count name the set.
    if (!valid_ || version_ != e.version() || count_ != e.points().size()) {
      valid_ = false;
      built_.build(e.points(), e.lower(), e.upper());
      version_ = e.version();
      count_ = e.points().size();
      valid_ = true;
    }
    return f(built_);
  }

 private:
  mutable std::mutex mutex_;
  mutable HullEnvelope built_;
  mutable std::size_t version_ = 0;
  mutable std::size_t count_ = 0;
  mutable bool valid_ = false;
};

}  // namespace ars::detail
