#include "r_failure.h"

SEXP errorCondition(const char* cls, const char* message) {
  SEXP condition = PROTECT(Rf_allocVector(VECSXP, 2));
  SET_VECTOR_ELT(condition, 0, Rf_mkString(message));
  SEXP names = PROTECT(Rf_allocVector(STRSXP, 2));
  SET_STRING_ELT(names, 0, Rf_mkChar("message"));
  SET_STRING_ELT(names, 1, Rf_mkChar("call"));
  Rf_setAttrib(condition, R_NamesSymbol, names);
  SEXP classes = PROTECT(Rf_allocVector(STRSXP, 3));
  SET_STRING_ELT(classes, 0, Rf_mkChar(cls != nullptr ? cls : "simpleError"));
  SET_STRING_ELT(classes, 1, Rf_mkChar("error"));
  SET_STRING_ELT(classes, 2, Rf_mkChar("condition"));
  Rf_setAttrib(condition, R_ClassSymbol, classes);
  // Kept alive by the caller's stack only until it is signalled; the
  // preserve list keeps it safe across the unwinding in between.
  R_PreserveObject(condition);
  UNPROTECT(3);
  return condition;
}

void signalCondition(SEXP condition) {
  SEXP call = PROTECT(Rf_lang2(Rf_install("stop"), condition));
  R_ReleaseObject(condition);
  Rf_eval(call, R_BaseEnv);
  UNPROTECT(1);
  Rf_error("unreachable");  // stop() never returns
}
