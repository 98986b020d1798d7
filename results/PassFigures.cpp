#include "PassFigures.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "PassSummary.h"

std::optional<TWarmPassFigures> RateFigures(std::vector<double> Rates) {
  if (Rates.empty()) return std::nullopt;
  std::sort(Rates.begin(), Rates.end());
  TWarmPassFigures Figures;
  Figures.Count = Rates.size();
  const std::size_t Middle = Rates.size() / 2;
  Figures.Median = Rates.size() % 2 == 1 ? Rates[Middle] : (Rates[Middle - 1] + Rates[Middle]) / 2.0;
  Figures.Minimum = Rates.front();
  Figures.Maximum = Rates.back();
  if (Rates.size() >= 2) {
    const double Count = static_cast<double>(Rates.size());
    const double Mean = std::accumulate(Rates.begin(), Rates.end(), 0.0) / Count;
    double Squares = 0.0;
    for (const double Rate : Rates) Squares += (Rate - Mean) * (Rate - Mean);
    Figures.CoefficientOfVariation = std::sqrt(Squares / (Count - 1.0)) / Mean;
  }
  return Figures;
}

std::vector<double> WarmPassRates(const TTestRecord& Test) {
  std::vector<double> Rates;
  for (std::size_t Index = 1; Index < Test.Passes.size(); ++Index)
    if (const std::optional<double> Rate = PassRate(Test.Passes[Index])) Rates.push_back(*Rate);
  return Rates;
}

std::optional<TTestFigures> TestFigures(const TTestRecord& Test) {
  if (Test.Status != TTestStatus::Completed) return std::nullopt;
  std::vector<double> Times;
  std::vector<std::size_t> TimedPasses;  // 0-based indices of the passes in Times
  double Bytes = 0.0;
  for (std::size_t Index = 0; Index < Test.Passes.size(); ++Index) {
    const TPassRecord& Pass = Test.Passes[Index];
    const std::optional<double> Rate = PassRate(Pass);
    if (!Rate) continue;
    Times.push_back(static_cast<double>(Pass.Nanoseconds));
    TimedPasses.push_back(Index);
    Bytes += static_cast<double>(Pass.Bytes);
  }
  if (Times.empty()) return std::nullopt;

  // The log's rule: the bytes of a pass over the mean time, and the shortest pass.
  const TPassSummary Summary = SummarisePasses(Times);
  TTestFigures Figures;
  Figures.AverageNanoseconds = Summary.Average;
  Figures.AverageRate = Bytes / static_cast<double>(Times.size()) / (Summary.Average / 1e9);
  const std::size_t Shortest =
      static_cast<std::size_t>(std::find(Times.begin(), Times.end(), Summary.Shortest) - Times.begin());
  const TPassRecord& Peak = Test.Passes[TimedPasses[Shortest]];
  Figures.PeakPass = TimedPasses[Shortest] + 1;
  Figures.PeakNanoseconds = Peak.Nanoseconds;
  Figures.PeakRate = *PassRate(Peak);
  Figures.FirstPassRate = PassRate(Test.Passes.front());
  Figures.Warm = RateFigures(WarmPassRates(Test));
  return Figures;
}
