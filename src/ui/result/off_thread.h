#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

class QWidget;

namespace tarvolin::ui {

/// Runs `work` on a thread of its own and waits for it while the program's windows keep
/// drawing. What the user does meanwhile (keys, clicks) waits too, and is answered once the
/// work is done; a box saying `what` shows when it takes longer than kShowAfterMs. Rethrows
/// what `work` throws. For the commands of a window that read files: the window's thread
/// never reads one itself. `work` must not touch widgets.
void runOffThread(QWidget* owner, const QString& what, const std::function<void()>& work);

/// Milliseconds a read runs before its box shows.
inline constexpr int kShowAfterMs = 400;

/// runOffThread for work that returns a value: returns it.
template <typename Work>
auto readOffThread(QWidget* owner, const QString& what, Work work) -> std::invoke_result_t<Work> {
  using Result = std::invoke_result_t<Work>;
  if constexpr (std::is_void_v<Result>) {
    runOffThread(owner, what, work);
  } else {
    std::optional<Result> result;
    runOffThread(owner, what, [&] { result.emplace(work()); });
    return std::move(*result);
  }
}

}  // namespace tarvolin::ui
