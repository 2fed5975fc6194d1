// The width-bound proof: table sums equal the font's widths, and loads using the ASCII bound get the same widths.
#include <QApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

#include "core/grid/grid_store.h"
#include "core/read/report_loader.h"
#include "core/read/shared_state.h"
#include "platform/font_text_measure.h"

using tarvolin::platform::FontTextMeasure;

namespace {

/// Measures every text with the font itself and offers no bound: the reference.
struct PlainMeasure : FontTextMeasure {
  using FontTextMeasure::FontTextMeasure;
  double textWidthTwips(std::string_view text) override { return measuredWidthTwips(text); }
};

std::vector<int> loadWidths(const QString& file, tarvolin::core::TextMeasure& measure) {
  tarvolin::core::SharedState shared;
  tarvolin::core::LoadState load;
  tarvolin::core::NullLoadObserver observer;
  tarvolin::core::GridStore grid;
  const tarvolin::core::Report& report = grid.report();
  tarvolin::core::ReportLoader(shared, grid.report(), load, observer, measure, ".")
      .load(QFile::encodeName(file).toStdString(), grid);
  std::vector<int> widths;
  for (int i = 0; i <= report.vars.lastIndex(); ++i) widths.push_back(report.vars[i].width);
  return widths;
}

}  // namespace

class FontTextMeasureTest : public QObject {
  Q_OBJECT

 private slots:
  void tableGivesWhatTheFontMeasures_data() {
    QTest::addColumn<QFont>("font");
    QTest::newRow("application font") << QApplication::font();
    QTest::newRow("italic 11 point") << QFont(QApplication::font().family(), 11, -1, true);
    QTest::newRow("serif") << QFont(QStringLiteral("Serif"), 10);
  }
  void tableGivesWhatTheFontMeasures() {
    QFETCH(QFont, font);
    FontTextMeasure measure(font);
    QRandomGenerator rng(42);
    std::vector<std::string> texts = {"", "AVAWTeToLT", "office fluffy affine", "Größe", "tab\there"};
    for (int i = 0; i < 2000; ++i) {
      std::string& s = texts.emplace_back();
      for (int k = 1 + static_cast<int>(rng.bounded(40)); k > 0; --k) s += static_cast<char>(32 + rng.bounded(95));
    }
    for (const std::string& t : texts) QVERIFY2(measure.textWidthTwips(t) == measure.measuredWidthTwips(t), t.c_str());
  }

  void samplesLoadWithTheSameWidthsBothWays() {
    const QDir samples(QStringLiteral(TARVOLIN_SAMPLES_DIR));
    FontTextMeasure fast(QApplication::font());
    PlainMeasure plain(QApplication::font());
    for (const QString& f : samples.entryList({QStringLiteral("*.txt")}, QDir::Files))
      QVERIFY2(loadWidths(samples.filePath(f), fast) == loadWidths(samples.filePath(f), plain), qPrintable(f));
  }
};

QTEST_MAIN(FontTextMeasureTest)
#include "font_text_measure_test.moc"
