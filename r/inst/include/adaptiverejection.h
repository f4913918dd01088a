#pragma once
// The package's sampler for C++17 code in other packages (CXX_STD = CXX17 in
// src/Makevars). In DESCRIPTION:
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
//
// The sampler runs inside adaptiverejection.so (through R_GetCCallable), so
// its draws are those of rlogconcave to the last bit for the same uniforms.
// Failures are thrown in the caller's code: ars::NotLogConcave (a
// std::domain_error) when the density is proved not log-concave or not
// integrable, std::invalid_argument for a bad support, start or log-density
// value, and whatever the log-density itself threw, unchanged. The
// log-density must not call into R (an R error would jump over the sampler).
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

template <class F>
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

}  // namespace detail

class LogConcaveSampler {
 public:
  // Any callable double(double) as the log-density (up to a constant,
  // -infinity where the density is zero), on [lower, upper].
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<double, F&, double>>>
  LogConcaveSampler(F logDensity, double lower, double upper, const std::vector<double>& starts = {})
      : callback_(std::make_unique<detail::CallbackOf<F>>(std::move(logDensity))) {
    open(&detail::Callback::trampoline, callback_.get(), lower, upper, starts);
  }
  // A C log-density with its data pointer.
  LogConcaveSampler(adaptiverejection_logpdf logDensity, void* data, double lower, double upper,
                    const std::vector<double>& starts = {}) {
    open(logDensity, data, lower, upper, starts);
  }
  ~LogConcaveSampler() {
    if (handle_ != nullptr) detail::callable<adaptiverejection_delete_fn>("ars_delete")(handle_);
  }
  LogConcaveSampler(LogConcaveSampler&& o) noexcept
      : callback_(std::move(o.callback_)), handle_(std::exchange(o.handle_, nullptr)) {}
  LogConcaveSampler& operator=(LogConcaveSampler&& o) noexcept {
    std::swap(callback_, o.callback_);
    std::swap(handle_, o.handle_);
    return *this;
  }
  LogConcaveSampler(const LogConcaveSampler&) = delete;
  LogConcaveSampler& operator=(const LogConcaveSampler&) = delete;

  // count draws into out from any UniformRandomBitGenerator (RUniform for R's).
  template <class URBG>
  void sample(URBG& g, double* out, std::size_t count) {
    if (handle_ == nullptr) throw std::logic_error("adaptiverejection: moved-from sampler");
    char message[512] = "";
    const int status = detail::callable<adaptiverejection_sample_fn>("ars_sample")(
        handle_, &bits<URBG>, &g, out, count, message, sizeof message);
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
  std::uint64_t evaluations() const { return static_cast<std::uint64_t>(state(2)); }
  std::size_t points() const { return static_cast<std::size_t>(state(3)); }

 private:
  template <class URBG>
  static std::uint64_t bits(void* g) {
    return ars::detail::generatorBits(*static_cast<URBG*>(g));
  }
  void open(adaptiverejection_logpdf f, void* data, double lower, double upper,
            const std::vector<double>& starts) {
    int status = ADAPTIVEREJECTION_OK;
    char message[512] = "";
    handle_ = detail::callable<adaptiverejection_new_fn>("ars_new")(
        f, data, lower, upper, starts.data(), starts.size(), &status, message, sizeof message);
    rethrow(status, message);
  }
  void rethrow(int status, const char* message) {
    if (callback_ && callback_->thrown) std::rethrow_exception(std::exchange(callback_->thrown, nullptr));
    if (status != ADAPTIVEREJECTION_OK) detail::raise(status, message);
  }
  double state(int i) const {
    if (handle_ == nullptr) throw std::logic_error("adaptiverejection: moved-from sampler");
    double s[4];
    detail::callable<adaptiverejection_state_fn>("ars_state")(handle_, s);
    return s[i];
  }

  std::unique_ptr<detail::Callback> callback_;
  void* handle_ = nullptr;
};

}  // namespace adaptiverejection
