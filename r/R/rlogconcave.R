# n draws from the density exp(logpdf) on [lower, upper]; all checks are made
# in compiled code so that a Gibbs update of one draw stays cheap. The
# formals follow the dots so that only their full names match them (log =
# TRUE is for dnorm, not a prefix of logpdf); unnamed arguments still take
# their places in order (see arguments.h).
rlogconcave <- function(n, ..., logpdf, lower = -Inf, upper = Inf, starts = NULL, params = NULL)
  .External(C_ars_rlogconcave, n,
            missing(logpdf), missing(lower), missing(upper), missing(starts), missing(params),
            if (!missing(logpdf)) logpdf, lower, upper, starts, params, ...)
