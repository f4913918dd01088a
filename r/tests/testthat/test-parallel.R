# Chains on a two-worker PSOCK cluster, each on an L'Ecuyer-CMRG stream.

# Runs f(cl) on a fresh two-worker cluster with this package loaded, then stops it.
with_cluster <- function(f) {
  cl <- tryCatch(parallel::makePSOCKcluster(2),
                 error = function(e) skip(paste("no PSOCK cluster:", conditionMessage(e))))
  tryCatch({
    parallel::clusterCall(cl, function(paths) base::.libPaths(paths), .libPaths())
    parallel::clusterEvalQ(cl, library(adaptiverejection))
    f(cl)
  }, finally = parallel::stopCluster(cl))
}

# Runs f() from the L'Ecuyer-CMRG state seed (NULL: as it is), restoring the
# caller's generator after.
with_seed <- function(seed, f) {
  kind <- RNGkind()
  old <- get0(".Random.seed", envir = globalenv(), inherits = FALSE)
  on.exit({
    RNGkind(kind[1], kind[2], kind[3])
    if (is.null(old)) rm(".Random.seed", envir = globalenv())
    else assign(".Random.seed", old, envir = globalenv())
  })
  RNGkind("L'Ecuyer-CMRG")
  if (!is.null(seed)) assign(".Random.seed", seed, envir = globalenv())
  f()
}

normal <- function(x) -x^2 / 2

# A Gibbs chain for a bivariate normal with correlation 0.5.
gibbs_chain <- function(n) {
  x <- 0
  xs <- numeric(n)
  for (i in seq_len(n)) {
    y <- rnorm(1, 0.5 * x, sqrt(0.75))
    x <- adaptiverejection::rlogconcave(1, function(v) -(v - 0.5 * y)^2 / 1.5, starts = x)
    xs[i] <- x
  }
  xs
}

test_that("workers draw on their own streams, exactly as here from the same stream", {
  with_cluster(function(cl) {
    parallel::clusterSetRNGStream(cl, 2024)
    there <- parallel::clusterCall(cl, rlogconcave, 1e5, normal)
    parallel::clusterSetRNGStream(cl, 2024)
    expect_identical(parallel::clusterCall(cl, rlogconcave, 1e5, normal), there)
    for (x in there) expect_gte(ks.test(x, pnorm)$p.value, 1e-6)
    expect_length(intersect(there[[1]], there[[2]]), 0)  # no shared stream
    # clusterSetRNGStream gives the first worker set.seed's stream, the next its nextRNGStream.
    first <- with_seed(NULL, function() {
      set.seed(2024)
      .Random.seed
    })
    expect_identical(with_seed(parallel::nextRNGStream(first), function() rlogconcave(1e5, normal)),
                     there[[2]])
  })
})

test_that("one stream per chain repeats the chains on any number of workers", {
  streams <- with_seed(NULL, function() {
    set.seed(11)
    Reduce(function(s, i) parallel::nextRNGStream(s), 2:4, .Random.seed, accumulate = TRUE)
  })
  run <- function(seed) {
    assign(".Random.seed", seed, envir = globalenv())
    gibbs_chain(300)
  }
  here <- lapply(streams, function(s) with_seed(s, function() gibbs_chain(300)))
  with_cluster(function(cl) {
    expect_identical(parallel::parLapply(cl, streams, run), here)
    expect_identical(parallel::parLapply(cl[1], streams, run), here)
  })
  expect_length(unique(vapply(here, function(x) x[300], 0)), 4)
})

test_that("a sampler or a compiled log-density's pointer sent to a worker is refused clearly", {
  s <- logconcave_sampler(normal)
  with_cluster(function(cl) {
    sent <- parallel::clusterCall(cl[1], function(s) tryCatch(s$sample(2), error = conditionMessage),
                                  s)
    expect_match(sent[[1]], "cluster worker")
    # Any external pointer arrives empty, as a compiled log-density's does.
    sent <- parallel::clusterCall(cl[1], function(p) tryCatch(rlogconcave(2, p), error = conditionMessage),
                                  new("externalptr"))
    expect_match(sent[[1]], "pointer to nothing.*cluster worker")
  })
  expect_length(s$sample(2), 2)  # the sampler here is untouched
})
