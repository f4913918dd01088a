# n draws from the density exp(logpdf) on [lower, upper]; all checks are made
# in compiled code so that a Gibbs update of one draw stays cheap.
rlogconcave <- function(n, logpdf, lower = -Inf, upper = Inf, starts = NULL, params = NULL)
  .Call(C_ars_rlogconcave, n, logpdf, lower, upper, starts, params)
