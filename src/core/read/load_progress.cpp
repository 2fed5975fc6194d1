#include "core/read/load_progress.h"

namespace tarvolin::core {

std::string progressText(int32_t nread, int32_t nout, bool finished) {
  return (finished ? "Finished. Records read: " : "Records read: ") + std::to_string(nread) + " Records outputted " +
         std::to_string(nout);
}

void LoadProgress::show(int32_t nread, int32_t nout) {
  m_observer.setStatus(progressText(nread, nout, false));
  m_grid.setRedraw(true);
  m_grid.setRedraw(false);
}

}  // namespace tarvolin::core
