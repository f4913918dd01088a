#pragma once
// The package's samplers for C++17 code in other packages (CXX_STD = CXX17
// in src/Makevars). In DESCRIPTION:
//   LinkingTo: adaptiverejection
//   Imports: adaptiverejection      (and import(adaptiverejection) or an
//                                     importFrom in NAMESPACE, so it is loaded)
// then
//   #include <adaptiverejection.h>
//   adaptiverejection::LogConcaveSampler s([](double x) { return -x * x / 2; },
//                                          -INFINITY, INFINITY);
//   adaptiverejection::RngScope scope;   // R's generator, as runif uses it
//   adaptiverejection::RUniform u;
//   double x = s.sample(u);
// and for heavy tails or densities with known inflection points, with c and
// splits as rtconcave takes them (c = -0.5: T = -1/sqrt(f), c = 0: log f):
//   adaptiverejection::TConcaveSampler t([](double x) { return -std::log1p(x * x); },
//                                        -INFINITY, INFINITY, -0.5, {}, {});
//
// The samplers run inside adaptiverejection.so (through R_GetCCallable), so
// their draws are those of rlogconcave and rtconcave to the last bit for the
// same uniforms. Failures are thrown in the caller's code: ars::NotLogConcave
// (a std::domain_error) when the density is proved not log-concave (not
// T-concave) or not integrable, std::invalid_argument for a bad support,
// transformation, split point, start or log-density value, and whatever the
// log-density itself threw, unchanged. The log-density must not call into R
// (an R error would jump over the sampler).
#if __cplusplus < 201703L
#error "<adaptiverejection.h> needs C++17: CXX_STD = CXX17 in src/Makevars"
#endif

#include <R_ext/Rdynload.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "adaptiverejection/c_api.h"
#include "adaptiverejection/r_uniform.h"
#include "sampler/not_log_concave.h"
#include "sampler/uniform_source.h"

namespace adaptiverejection {

namespace detail {

// The package's C function of that name; looked up once for each type and
// sampler class (Calls), since the two classes' functions share types.
template <class F, class Calls>
F callable(const char* name) {
  static F f = reinterpret_cast<F>(R_GetCCallable("adaptiverejection", name));
  return f;
}

[[noreturn]] inline void raise(int status, const char* message) {
  if (status == ADAPTIVEREJECTION_NOT_LOG_CONCAVE) throw ars::NotLogConcave(message);
  if (status == ADAPTIVEREJECTION_INVALID_ARGUMENT) throw std::invalid_argument(message);
  throw std::runtime_error(message);
}

// The caller's log-density and the first exception it threw, which is
// rethrown in the caller's code rather than carried across the C calls.
struct Callback {
  virtual ~Callback() = default;
  virtual double call(double x) = 0;
  std::exception_ptr thrown;
  static double trampoline(double x, void* self) {
    auto* c = static_cast<Callback*>(self);
    try {
      return c->call(x);
    } catch (...) {
      if (!c->thrown) c->thrown = std::current_exception();
      return std::numeric_limits<double>::quiet_NaN();  // stops the sampler
    }
  }
};

template <class F>
struct CallbackOf final : Callback {
  explicit CallbackOf(F f) : f(std::move(f)) {}
  double call(double x) override { return f(x); }
  F f;
};

// What both samplers share: the handle of the sampler inside the package,
// the caller's log-density it calls, draws and the way failures come back.
// Calls names the package's C functions for one sampler class.
template <class Calls>
class Sampler {
 public:
  ~Sampler() {
    if (handle_ != nullptr) callable<adaptiverejection_delete_fn, Calls>(Calls::remove)(handle_);
  }
  Sampler(Sampler&& o) noexcept : callback_(std::move(o.callback_)), handle_(std::exchange(o.handle_, nullptr)) {}
  Sampler& operator=(Sampler&& o) noexcept {
    std::swap(callback_, o.callback_);
    std::swap(handle_, o.handle_);
    return *this;
  }
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  // count draws into out from any UniformRandomBitGenerator (RUniform for R's).
  template <class URBG>
  void sample(URBG& g, double* out, std::size_t count) {
    if (handle_ == nullptr) throw std::logic_error("adaptiverejection: moved-from sampler");
    char message[512] = "";
    const int status = callable<adaptiverejection_sample_fn, Calls>(Calls::sample)(handle_, &bits<URBG>, &g, out,
                                                                             count, message, sizeof message);
    rethrow(status, message);
  }
  template <class URBG>
  double sample(URBG& g) {
    double x = 0;
    sample(g, &x, 1);
    return x;
  }

  double hatArea() const { return state(0); }
  double squeezeArea() const { return state(1); }

 protected:
  Sampler() = default;
  // The caller's log-density, called through the trampoline.
  template <class F>
  void* hold(F f) {
    callback_ = std::make_unique<CallbackOf<F>>(std::move(f));
    return callback_.get();
  }
  void opened(void* handle, int status, const char* message) {
    handle_ = handle;
    rethrow(status, message);
  }
  double state(int i) const {
    if (handle_ == nullptr) throw std::logic_error("adaptiverejection: moved-from sampler");
    double s[Calls::states];
    callable<adaptiverejection_state_fn, Calls>(Calls::state)(handle_, s);
    return s[i];
  }

 private:
  template <class URBG>
  static std::uint64_t bits(void* g) {
    return ars::detail::generatorBits(*static_cast<URBG*>(g));
  }
  void rethrow(int status, const char* message) {
    if (callback_ && callback_->thrown) std::rethrow_exception(std::exchange(callback_->thrown, nullptr));
    if (status != ADAPTIVEREJECTION_OK) raise(status, message);
  }

  std::unique_ptr<Callback> callback_;
  void* handle_ = nullptr;
};

struct LogConcaveCalls {
  static constexpr const char* sample = "ars_sample";
  static constexpr const char* state = "ars_state";
  static constexpr const char* remove = "ars_delete";
  static constexpr int states = 4;
};

struct TConcaveCalls {
  static constexpr const char* sample = "ars_t_sample";
  static constexpr const char* state = "ars_t_state";
  static constexpr const char* remove = "ars_t_delete";
  static constexpr int states = 6;
};

}  // namespace detail

class LogConcaveSampler : public detail::Sampler<detail::LogConcaveCalls> {
 public:
  // Any callable double(double) as the log-density (up to a constant,
  // -infinity where the density is zero), on [lower, upper].
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<double, F&, double>>>
  LogConcaveSampler(F logDensity, double lower, double upper, const std::vector<double>& starts = {}) {
    open(&detail::Callback::trampoline, hold(std::move(logDensity)), lower, upper, starts);
  }
  // A C log-density with its data pointer.
  LogConcaveSampler(adaptiverejection_logpdf logDensity, void* data, double lower, double upper,
                    const std::vector<double>& starts = {}) {
    open(logDensity, data, lower, upper, starts);
  }

  std::uint64_t evaluations() const { return static_cast<std::uint64_t>(state(2)); }
  std::size_t points() const { return static_cast<std::size_t>(state(3)); }

 private:
  void open(adaptiverejection_logpdf f, void* data, double lower, double upper,
            const std::vector<double>& starts) {
    int status = ADAPTIVEREJECTION_OK;
    char message[512] = "";
    void* handle = detail::callable<adaptiverejection_new_fn, detail::LogConcaveCalls>("ars_new")(
        f, data, lower, upper, starts.data(), starts.size(), &status, message, sizeof message);
    opened(handle, status, message);
  }
};

// Exact draws where T_c(f) is concave, or concave and convex piece by piece
// between the split points: c = -0.5 (T = -1/sqrt(f), heavy tails such as
// every Student t with nu >= 1) or c = 0 (T = log f); splits increasing and
// strictly inside (lower, upper). The same arguments as rtconcave.
class TConcaveSampler : public detail::Sampler<detail::TConcaveCalls> {
 public:
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<double, F&, double>>>
  TConcaveSampler(F logDensity, double lower, double upper, double c = -0.5,
                  const std::vector<double>& splits = {}, const std::vector<double>& starts = {}) {
    open(&detail::Callback::trampoline, hold(std::move(logDensity)), lower, upper, c, splits, starts);
  }
  TConcaveSampler(adaptiverejection_logpdf logDensity, void* data, double lower, double upper,
                  double c = -0.5, const std::vector<double>& splits = {},
                  const std::vector<double>& starts = {}) {
    open(logDensity, data, lower, upper, c, splits, starts);
  }

  // The areas' logarithms, which neither overflow nor vanish where h is huge.
  double logHatArea() const { return state(2); }
  double logSqueezeArea() const { return state(3); }
  std::uint64_t evaluations() const { return static_cast<std::uint64_t>(state(4)); }
  std::size_t points() const { return static_cast<std::size_t>(state(5)); }

 private:
  void open(adaptiverejection_logpdf f, void* data, double lower, double upper, double c,
            const std::vector<double>& splits, const std::vector<double>& starts) {
    int status = ADAPTIVEREJECTION_OK;
    char message[512] = "";
    void* handle = detail::callable<adaptiverejection_tnew_fn, detail::TConcaveCalls>("ars_t_new")(
        f, data, lower, upper, c, splits.data(), splits.size(), starts.data(), starts.size(), &status,
        message, sizeof message);
    opened(handle, status, message);
  }
};

}  // namespace adaptiverejection
