library(testthat)
library(adaptiverejection)

test_check("adaptiverejection")
