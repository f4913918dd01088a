# n draws from the density exp(logpdf) on [lower, upper]; all checks are made
# in compiled code so that a Gibbs update of one draw stays cheap. The
# formals follow the dots so that only their full names match them (log =
# TRUE is for dnorm, not a prefix of logpdf); unnamed arguments still take
# their places in order. They have no defaults here: the compiled code reads
# this frame, where a formal not given is plainly missing, and gives the
# defaults (-Inf, Inf, NULL, NULL, FALSE) itself (see src/arguments.h).
rlogconcave <- function(n, ..., logpdf, lower, upper, starts, params, check)
  .External(C_ars_rlogconcave, n, environment())
