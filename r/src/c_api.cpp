// The functions registered for other packages (see
// inst/include/adaptiverejection/c_api.h): no exception leaves them.
#include "adaptiverejection/c_api.h"

#include <R_ext/Rdynload.h>

#include <cstdio>
#include <exception>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "arguments.h"
#include "sampler/argument_checks.h"
#include "sampler/log_concave_sampler.h"
#include "sampler/t_concave_sampler.h"

namespace {

// The caller's generator, 64 bits a call.
class CallerBits {
 public:
  using result_type = std::uint64_t;
  static constexpr result_type min() { return 0; }
  static constexpr result_type max() { return std::numeric_limits<result_type>::max(); }
  CallerBits(adaptiverejection_bits bits, void* generator) : bits_(bits), generator_(generator) {}
  result_type operator()() { return bits_(generator_); }

 private:
  adaptiverejection_bits bits_;
  void* generator_;
};

void copy(const char* text, char* message, std::size_t size) {
  if (message != nullptr && size > 0) std::snprintf(message, size, "%s", text);
}

// Runs body; the status and message of what it threw.
template <class Body>
int caught(Body&& body, char* message, std::size_t size) {
  try {
    body();
    return ADAPTIVEREJECTION_OK;
  } catch (const ars::NotLogConcave& e) {
    copy(e.what(), message, size);
    return ADAPTIVEREJECTION_NOT_LOG_CONCAVE;
  } catch (const std::invalid_argument& e) {
    copy(e.what(), message, size);
    return ADAPTIVEREJECTION_INVALID_ARGUMENT;
  } catch (const std::exception& e) {
    copy(e.what(), message, size);
    return ADAPTIVEREJECTION_OTHER;
  } catch (...) {
    copy("unknown C++ exception", message, size);
    return ADAPTIVEREJECTION_OTHER;
  }
}

void* newSampler(adaptiverejection_logpdf logpdf, void* data, double lower, double upper,
                 const double* starts, std::size_t nstarts, int* status, char* message,
                 std::size_t size) {
  ars::LogConcaveSampler* made = nullptr;
  const int s = caught(
      [&] {
        if (logpdf == nullptr) throw std::invalid_argument("logpdf is a null function pointer");
        std::vector<double> at(starts, starts + (starts != nullptr ? nstarts : 0));
        made = new ars::LogConcaveSampler([logpdf, data](double x) { return logpdf(x, data); },
                                          lower, upper, at);
      },
      message, size);
  if (status != nullptr) *status = s;
  return made;
}

// Checked as rtconcave checks them, so that both ways in agree.
void* newTSampler(adaptiverejection_logpdf logpdf, void* data, double lower, double upper, double c,
                  const double* splits, std::size_t nsplits, const double* starts, std::size_t nstarts,
                  int* status, char* message, std::size_t size) {
  ars::TConcaveSampler* made = nullptr;
  const int s = caught(
      [&] {
        if (logpdf == nullptr) throw std::invalid_argument("logpdf is a null function pointer");
        const ars::Transform transform = transformOf(c);
        ars::detail::checkSupport(lower, upper);
        std::vector<double> cuts(splits, splits + (splits != nullptr ? nsplits : 0));
        checkSplits(cuts, lower, upper);
        std::vector<double> at(starts, starts + (starts != nullptr ? nstarts : 0));
        startsInside(at, lower, upper);
        made = new ars::TConcaveSampler([logpdf, data](double x) { return logpdf(x, data); }, lower,
                                        upper, transform, cuts, at);
      },
      message, size);
  if (status != nullptr) *status = s;
  return made;
}

template <class Sampler>
int sample(void* sampler, adaptiverejection_bits bits, void* generator, double* out,
           std::size_t count, char* message, std::size_t size) {
  return caught(
      [&] {
        CallerBits g(bits, generator);
        static_cast<Sampler*>(sampler)->sample(g, out, count);
      },
      message, size);
}

void state(const void* sampler, double* s) {
  const auto* p = static_cast<const ars::LogConcaveSampler*>(sampler);
  s[0] = p->hatArea();
  s[1] = p->squeezeArea();
  s[2] = static_cast<double>(p->counts().evaluations);
  s[3] = static_cast<double>(p->points());
}

void tState(const void* sampler, double* s) {
  const auto* p = static_cast<const ars::TConcaveSampler*>(sampler);
  s[0] = p->hatArea();
  s[1] = p->squeezeArea();
  s[2] = p->logHatArea();
  s[3] = p->logSqueezeArea();
  s[4] = static_cast<double>(p->evaluations());
  s[5] = static_cast<double>(p->points());
}

template <class Sampler>
void deleteSampler(void* sampler) {
  delete static_cast<Sampler*>(sampler);
}

template <class F>
void provide(const char* name, F f) {
  R_RegisterCCallable("adaptiverejection", name, reinterpret_cast<DL_FUNC>(f));
}

}  // namespace

void registerCApi() {
  provide("ars_new", &newSampler);
  provide("ars_sample", &sample<ars::LogConcaveSampler>);
  provide("ars_state", &state);
  provide("ars_delete", &deleteSampler<ars::LogConcaveSampler>);
  provide("ars_t_new", &newTSampler);
  provide("ars_t_sample", &sample<ars::TConcaveSampler>);
  provide("ars_t_state", &tState);
  provide("ars_t_delete", &deleteSampler<ars::TConcaveSampler>);
}
