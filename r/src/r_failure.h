#pragma once
// Runs the C++ side of an entry point and turns what it throws into R's own
// ways of failing, only once every C++ frame is gone (an R longjmp across
// C++ frames would skip their destructors):
//  - an R error or interrupt inside logpdf resumes as it was;
//  - an interrupt seen by the draw loop becomes R's interrupt;
//  - ars::NotLogConcave becomes an error of class "not_log_concave";
//  - any other exception becomes a plain R error with its message.
#include <Rcpp.h>

#include <exception>
#include <utility>

#include "sampler/not_log_concave.h"

// A condition object (message, call = NULL) of class c(cls, "error",
// "condition"); cls may be NULL for a simpleError.
SEXP errorCondition(const char* cls, const char* message);
// stop(condition): does not return.
[[noreturn]] void signalCondition(SEXP condition);

template <class Body>
SEXP guarded(Body&& body) {
  SEXP result = R_NilValue;
  SEXP condition = R_NilValue;
  SEXP token = R_NilValue;
  bool interrupted = false;
  try {
    result = body();
  } catch (Rcpp::LongjumpException& e) {
    token = e.token;
  } catch (Rcpp::internal::InterruptedException&) {
    interrupted = true;
  } catch (const ars::NotLogConcave& e) {
    condition = errorCondition("not_log_concave", e.what());
  } catch (const std::exception& e) {
    condition = errorCondition(nullptr, e.what());
  } catch (...) {
    condition = errorCondition(nullptr, "unknown C++ exception");
  }
  if (token != R_NilValue) Rcpp::internal::resumeJump(token);
  if (interrupted) Rf_onintr();
  if (condition != R_NilValue) signalCondition(condition);
  return result;
}
