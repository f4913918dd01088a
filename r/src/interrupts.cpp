#include "draws.h"

void checkInterrupt() {
  Rcpp::unwindProtect([] {
    R_CheckUserInterrupt();
    return R_NilValue;
  });
}
