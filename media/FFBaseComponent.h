// Base of the media engine's components (logger, probe, converter, player),
// so a host can recognise them by class.
#pragma once

namespace media {

class TFFBaseComponent {
 public:
  explicit TFFBaseComponent(void* AOwner = nullptr) : FOwner(AOwner) {}
  virtual ~TFFBaseComponent() = default;
  TFFBaseComponent(const TFFBaseComponent&) = delete;
  TFFBaseComponent& operator=(const TFFBaseComponent&) = delete;
  void* Owner() const { return FOwner; }

 private:
  void* FOwner;
};

}  // namespace media
