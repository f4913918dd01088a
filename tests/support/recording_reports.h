#pragma once
// Reports that a front end would show, recorded in the order they came.
#include <string>
#include <vector>

#include "model/reports.h"

class RecordingReports : public Reports {
 public:
  void refused() override { log.push_back("refused"); }
  void unusable(const char* what) override { log.push_back(std::string("unusable: ") + what); }
  void notStepping() override { log.push_back("not stepping"); }

  std::vector<std::string> log;
};
