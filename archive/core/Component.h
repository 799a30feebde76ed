// TComponent: the small base every archive component derives from. It carries
// what the library uses of a component framework: the owner, a name, and the
// "loading" state during which a component is being configured from stored
// settings (some setters behave differently then). Components are not copyable:
// events and internal pointers refer to the component itself.
#pragma once
#include <string>

namespace kst {

class TComponent {
 public:
  explicit TComponent(TComponent* AOwner = nullptr) : FOwner(AOwner) {}
  virtual ~TComponent() = default;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }

  // True between BeginLoading and Loaded.
  bool Loading() const { return FLoading; }
  void BeginLoading() { FLoading = true; }
  // Ends the loading state; derived components may finish their set-up here.
  virtual void Loaded() { FLoading = false; }

  std::string Name;

 private:
  TComponent* FOwner;
  bool FLoading = false;
};

}  // namespace kst
