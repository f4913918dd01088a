#pragma once
// The view options remembered between runs (the window system keeps them).
struct ViewOptions;

class ViewSettings {
 public:
  virtual ~ViewSettings() = default;
  // Fills in what was remembered; the rest stays as given.
  virtual void load(ViewOptions& view) = 0;
  virtual void save(const ViewOptions& view) = 0;
};
