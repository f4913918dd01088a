#pragma once
// What the module's samplers share: one thread at a time per sampler, and
// draws from a numpy bit generator (the caller's or the sampler's own) with
// that generator's lock held.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "log_density_source.h"
#include "numpy_bit_generator.h"

class SamplerGuard {
 public:
  // One thread at a time per sampler. Waiting happens without the GIL, so the
  // thread that holds the sampler can finish; a logpdf that reaches back into
  // its own sampler is refused rather than deadlocked.
  class Exclusive {
   public:
    explicit Exclusive(SamplerGuard& g) : g_(g) {
      // Relaxed: a thread only asks whether it holds the sampler itself, and
      // sees its own stores in order; the mutex orders everything else.
      if (g_.owner_.load(std::memory_order_relaxed) == std::this_thread::get_id())
        throw std::runtime_error("a sampler cannot be used from inside its own logpdf");
      if (!g_.mutex_.try_lock()) {
        pybind11::gil_scoped_release unlocked;
        g_.mutex_.lock();
      }
      g_.owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
    }
    ~Exclusive() {
      g_.owner_.store(std::thread::id(), std::memory_order_relaxed);
      g_.mutex_.unlock();
    }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;

   private:
    SamplerGuard& g_;
  };

  // python: the log-density is a Python callable (draws keep the GIL).
  SamplerGuard(pybind11::object bitGenerator, bool python)
      : defaultBits_(std::move(bitGenerator)), python_(python) {}

  // A new default generator, and no draws yet (for a sampler made anew in
  // place).
  void restart(pybind11::object bitGenerator) {
    if (!defaultBits_.isFrom(bitGenerator)) defaultBits_ = BitSource(std::move(bitGenerator));
    history_ = History{};
  }

  // What a pickle needs to make the sampler again: the draws it has made from
  // its default generator since construction, as long as nothing else
  // changed it (draws from another generator, a failed draw, an update).
  struct History {
    std::uint64_t ownDraws = 0;
    bool repeatable = true;
  };
  History history() {
    Exclusive exclusive(*this);
    return history_;
  }
  // The same for a caller that holds the sampler already (copy).
  History historyHeld() const { return history_; }
  void setHistory(History h) { history_ = h; }
  // Call holding the sampler (e.g. in drawAfter's before).
  void forgetHistory() { history_.repeatable = false; }

  // One draw, from bitGenerator or, when it is None, the sampler's own.
  template <class Sampler>
  double draw(Sampler& sampler, const pybind11::object& bitGenerator) {
    return drawAfter(sampler, bitGenerator, [](Sampler&) {}, false);
  }

  // before(sampler), then one draw, under one hold of the sampler and of the
  // generator: a Gibbs update resets the sampler to the next conditional
  // (resets: before starts the counts afresh).
  template <class Sampler, class Before>
  double drawAfter(Sampler& sampler, const pybind11::object& bitGenerator, Before&& before,
                   bool resets = true) {
    return withDrawSource(bitGenerator, [&](NumpyBits& bits, bool withoutGil) {
      ++history_.ownDraws;
      if (!withoutGil) {
        before(sampler);
        return sampler.sample(bits);
      }
      double x = 0.0;
      briefly(sampler, resets, [&] {
        before(sampler);
        x = sampler.sample(bits);
      });
      return x;
    });
  }

  // run() for a sampler with a C log-density: holding the GIL while the
  // log-density's calls have been brief, without it otherwise (see
  // BriefCalls). resets: run() starts the sampler's counts afresh.
  template <class Sampler, class Run>
  void briefly(const Sampler& sampler, bool resets, Run&& run) {
    if (brief_.holdGil()) {
      run();
      return;
    }
    const std::uint64_t before = resets ? 0 : sampler.counts().evaluations;
    const auto start = std::chrono::steady_clock::now();
    {
      pybind11::gil_scoped_release unlocked;
      run();
    }
    brief_.timed(std::chrono::steady_clock::now() - start, sampler.counts().evaluations - before);
  }

  // Fills out, looking at pending signals (Ctrl+C) between chunks.
  template <class Sampler>
  void fill(Sampler& sampler, pybind11::array_t<double, pybind11::array::c_style> out,
            const pybind11::object& bitGenerator) {
    constexpr std::size_t chunk = std::size_t{1} << 16;
    double* p = out.mutable_data();
    const std::size_t n = static_cast<std::size_t>(out.size());
    withDrawSource(bitGenerator, [&](NumpyBits& bits, bool withoutGil) {
      history_.ownDraws += n;  // a failure makes the history unrepeatable anyway
      for (std::size_t i = 0; i < n; i += chunk) {
        const std::size_t m = std::min(chunk, n - i);
        if (withoutGil) {
          pybind11::gil_scoped_release unlocked;
          sampler.sample(bits, p + i, m);
        } else {
          sampler.sample(bits, p + i, m);
        }
        if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
      }
    });
  }

 private:
  // One draw, update or fresh start with a C log-density: letting go of the
  // GIL and taking it back costs about as much as a cheap update, so calls
  // keep it while the log-density is cheap, as numpy's single draws do.
  // One call in timedEvery (and every call while the log-density is dear)
  // goes without it and is timed; where the call took briefLimit or more
  // per evaluation, the GIL goes, so that threads run in parallel where it
  // counts. A change of cost shows within timedEvery calls.
  class BriefCalls {
   public:
    bool holdGil() { return brief && ++sinceTimed < timedEvery; }
    void timed(std::chrono::steady_clock::duration took, std::uint64_t evaluations) {
      sinceTimed = 0;
      if (evaluations > 0) brief = took < briefLimit * evaluations;  // none: nothing learned
    }

   private:
    static constexpr unsigned timedEvery = 32;
    static constexpr std::chrono::nanoseconds briefLimit{2000};
    bool brief = false;  // unknown until a call is timed
    unsigned sinceTimed = 0;
  };

  // Runs drawWith(bits, withoutGil) holding the sampler and the bit
  // generator's lock. A C log-density draws without the GIL; a Python one
  // lets go of the generator's lock while it runs.
  template <class F>
  decltype(auto) withDrawSource(const pybind11::object& bitGenerator, F&& drawWith) {
    std::optional<BitSource> given;
    if (!bitGenerator.is_none()) given.emplace(bitGenerator);
    const BitSource& source = given ? *given : defaultBits_;
    Exclusive exclusive(*this);
    BitLockHold locked(source);
    NumpyBits bits(source.bits());
    if (given) history_.repeatable = false;
    try {
      if (!python_) return drawWith(bits, true);
      CallContext context;
      context.heldLock = source.lock().ptr();
      return propagatingCallbackErrors(context, [&] { return drawWith(bits, false); });
    } catch (...) {
      history_.repeatable = false;
      throw;
    }
  }

  BitSource defaultBits_;
  bool python_;
  History history_;
  BriefCalls brief_;
  std::mutex mutex_;
  std::atomic<std::thread::id> owner_{};
};
