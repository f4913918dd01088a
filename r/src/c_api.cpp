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

#include "sampler/log_concave_sampler.h"

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

int sample(void* sampler, adaptiverejection_bits bits, void* generator, double* out,
           std::size_t count, char* message, std::size_t size) {
  return caught(
      [&] {
        CallerBits g(bits, generator);
        static_cast<ars::LogConcaveSampler*>(sampler)->sample(g, out, count);
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

void deleteSampler(void* sampler) { delete static_cast<ars::LogConcaveSampler*>(sampler); }

}  // namespace

void registerCApi() {
  R_RegisterCCallable("adaptiverejection", "ars_new", reinterpret_cast<DL_FUNC>(&newSampler));
  R_RegisterCCallable("adaptiverejection", "ars_sample", reinterpret_cast<DL_FUNC>(&sample));
  R_RegisterCCallable("adaptiverejection", "ars_state", reinterpret_cast<DL_FUNC>(&state));
  R_RegisterCCallable("adaptiverejection", "ars_delete", reinterpret_cast<DL_FUNC>(&deleteSampler));
}
