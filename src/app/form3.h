#pragma once
#include <functional>
#include <string>

namespace nv {

inline constexpr char kSplashBanner[] = "Norvane! in Public Beta..";
inline constexpr char kSplashVersion[] = "v2.0 Beta 002";
inline constexpr unsigned kTimer2Ms = 4000;

// The splash window's on-screen side.
class SplashView {
 public:
  virtual ~SplashView() = default;
  virtual void SetBanner(const std::string& text) = 0;
  virtual void SetVersion(const std::string& text) = 0;
  virtual void Hide() = 0;
};

// The splash: its loading creates and starts the hidden main window (by
// writing the About window's version line), then it stays up until Timer2
// hands over once, 4000 ms later.
class Form3 {
 public:
  // setMainVersion writes frmMain's Label4, loading frmMain on first use.
  Form3(SplashView& view, std::function<void(const std::string&)> setMainVersion)
      : view_(view), setMainVersion_(std::move(setMainVersion)) {}

  void Form_Load();
  void Timer2_Timer();
  bool Timer2Enabled() const { return timer2Enabled_; }

 private:
  void SetTexts();
  SplashView& view_;
  std::function<void(const std::string&)> setMainVersion_;
  bool timer2Enabled_ = true;
};

}  // namespace nv
