#include "density/gamln.h"

#include <cmath>
#include <cstdio>

namespace {

// ln((n - 1)!) for n = 1..100, correctly rounded to 15 significant digits.
constexpr double logFactorial[100] = {
    0.0, 0.0, 0.693147180559945, 1.79175946922806,
    3.17805383034795, 4.78749174278205, 6.57925121201010, 8.52516136106541,
    10.6046029027453, 12.8018274800815, 15.1044125730755, 17.5023078458739,
    19.9872144956619, 22.5521638531234, 25.1912211827387, 27.8992713838409,
    30.6718601060807, 33.5050734501369, 36.3954452080331, 39.3398841871995,
    42.3356164607535, 45.3801388984769, 48.4711813518352, 51.6066755677644,
    54.7847293981123, 58.0036052229805, 61.2617017610020, 64.5575386270063,
    67.8897431371815, 71.2570389671680, 74.6582363488302, 78.0922235533153,
    81.5579594561150, 85.0544670175815, 88.5808275421977, 92.1361756036871,
    95.7196945421432, 99.3306124547874, 102.968198614514, 106.631760260643,
    110.320639714757, 114.034211781462, 117.771881399745, 121.533081515439,
    125.317271149357, 129.123933639127, 132.952575035616, 136.802722637326,
    140.673923648234, 144.565743946345, 148.477766951773, 152.409592584497,
    156.360836303079, 160.331128216631, 164.320112263195, 168.327445448428,
    172.352797139163, 176.395848406997, 180.456291417544, 184.533828861449,
    188.628173423672, 192.739047287845, 196.866181672890, 201.009316399282,
    205.168199482641, 209.342586752537, 213.532241494563, 217.736934113954,
    221.956441819130, 226.190548323728, 230.439043565777, 234.701723442818,
    238.978389561834, 243.268849002983, 247.572914096187, 251.890402209723,
    256.221135550010, 260.564940971863, 264.921649798553, 269.291097651020,
    273.673124285694, 278.067573440366, 282.474292687630, 286.893133295427,
    291.323950094270, 295.766601350761, 300.220948647014, 304.686856765669,
    309.164193580147, 313.652829949879, 318.152639620209, 322.663499126726,
    327.185287703775, 331.717887196928, 336.261181979198, 340.815058870799,
    345.379407062267, 349.954118040770, 354.539085519441, 359.134205369575,
};

// Rational approximation of Gamma(2 + f) on 0 <= f < 1, highest power first.
constexpr double p[9] = {0.00297378664481017, 0.0092381945590276, 0.109311595671044,
                         0.398067131020357,   2.15994312846059,   6.33806799938727,
                         20.7824725317921,    36.0367725300248,   62.0038380071273};
constexpr double q[4] = {1.0, -8.90601665949746, 9.82252110471399, 62.003838007127};

// Stirling series in powers of 1 / x^2, highest first.
constexpr double s[5] = {0.000766345188, -0.00059409561052, 0.0007936431104845,
                         -0.00277777775657725, 0.0833333333333169};
constexpr double u0 = -0.00277777777777778;
constexpr double u1 = 0.0833333333333333;

constexpr double rationalLimit = 8.0;
constexpr double lastTabulated = 100.0;
constexpr double shortSeriesFrom = 1000.0;
constexpr double logRootTwoPi = 0.918938533204673;

double stirling(double x) {
  const double r = 1.0 / x;
  const double z = r * r;
  if (x < shortSeriesFrom) {
    const double series = ((((s[0] * z + s[1]) * z + s[2]) * z + s[3]) * z + s[4]);
    return series * r + ((x - 0.5) * std::log(x) - x) + logRootTwoPi;
  }
  const double series = u0 * z + u1;
  return ((x - 0.5) * std::log(x) + series * r) - x + logRootTwoPi;
}

double rational(int n, double f) {
  double numerator = p[0];
  for (int i = 1; i < 9; ++i) numerator = numerator * f + p[i];
  double denominator = q[0];
  for (int i = 1; i < 4; ++i) denominator = denominator * f + q[i];
  double result = numerator / denominator;  // Gamma(2 + f)
  const int m = n - 2;
  if (m > 0) {
    // Gamma(x) = (x - 1)(x - 2)...(2 + f) Gamma(2 + f)
    double factor = f + 2.0;
    for (int i = 0; i < m; ++i) {
      result = result * factor;
      factor = factor + 1.0;
    }
  } else if (m == -1) {
    result = result / (f + 1.0);
  } else if (m == -2) {
    result = result / (f + 1.0);
    result = result / f;
  }
  return std::log(result);
}

}  // namespace

double gamln(double x) {
  // ln Gamma(NaN) is NaN and ln Gamma(+inf) is +inf; both are returned at once.
  if (std::isnan(x) || x == HUGE_VAL) return x;
  if (x < 0 || x == 0) {
    std::fputs("GAMLN  ARGUMENT IS LESS THAN OR EQUAL TO ZERO \n", stderr);
    std::fflush(stderr);
    return 0.0;
  }
  // The integer part stays a double: arguments of 2^31 and more must not overflow an int.
  const double whole = std::trunc(x);
  const double f = x - whole;
  if (f == 0.0) {
    if (whole <= lastTabulated) return logFactorial[static_cast<int>(whole) - 1];
    return stirling(x);
  }
  if (x > rationalLimit) return stirling(x);
  return rational(static_cast<int>(whole), f);
}
