#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

#include "platform/platform.h"

namespace tarvolin::ui {

/// The file box's list rule: a new path joins the list only when the box's current text
/// sorts after it, compared case-insensitively in the locale's order (so an empty box,
/// or a box already showing that path, adds nothing).
[[nodiscard]] bool appendsToList(const QString& boxText, const QString& path);

/// What Most Recent found.
struct NewestFile {
  QString path;                  ///< folder + "/" + name of the newest file; empty when there is none
  std::optional<QString> error;  ///< text for the user's message box when a step failed
};

/// The newest-file rule over the ordinary files of `folder`, in listing order: a file
/// replaces the best one only when its time is strictly later, so among equal newest
/// times the first listed wins. A failure (listing or reading a time) gives the error
/// "<system's description> <last name listed>" (the name empty when none was listed
/// yet) and no path. Cost: one listing and one time read per file.
[[nodiscard]] NewestFile newestFile(const QString& folder, platform::FileSystem& files);

/// Geometry the layout rule works on, in twips.
struct MainLayout {
  int gridWidth = 0;
  int gridHeight = 0;
  int frameTop = 0;
};

/// Top of the grid in twips; the grid's left and top never move.
inline constexpr int kGridTop = 360;

/// The layout rule for an outer window size `outerWidth` x `outerHeight` (twips):
/// grid width W - 630, grid height H - 2500, frame top = grid top + grid height + 100.
/// A step whose result would be negative is skipped and keeps the value in `now`;
/// the frame follows the grid height as it stands after the second step.
[[nodiscard]] MainLayout layoutRule(int outerWidth, int outerHeight, const MainLayout& now);

}  // namespace tarvolin::ui
