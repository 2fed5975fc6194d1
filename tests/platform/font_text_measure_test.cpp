#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>
#include <string>

#include "core/grid_store.h"
#include "core/report_parser.h"
#include "core/shared_state.h"
#include "platform/font_text_measure.h"

using tarvolin::platform::FontTextMeasure;

namespace {

/// Measures every text with the font itself: the reference the table must match.
class PlainMeasure : public tarvolin::core::TextMeasure {
 public:
  explicit PlainMeasure(const QFont& font) : m_inner(font) {}
  double textWidthTwips(std::string_view text) override { return m_inner.measuredWidthTwips(text); }

 private:
  FontTextMeasure m_inner;
};

std::vector<int> loadWidths(const QString& file, tarvolin::core::TextMeasure& measure) {
  tarvolin::core::SharedState shared;
  tarvolin::core::LoadState load;
  tarvolin::core::NullLoadObserver observer;
  tarvolin::core::GridStore grid;
  tarvolin::core::ReportLoader loader(shared, load, observer, measure, ".");
  loader.do_refresh(QFile::encodeName(file).toStdString(), grid);
  std::vector<int> widths;
  for (int i = 0; i <= shared.vars.maxvar(); ++i) widths.push_back(shared.vars[i].width);
  return widths;
}

}  // namespace

class FontTextMeasureTest : public QObject {
  Q_OBJECT

 private slots:
  void tableGivesWhatTheFontMeasures_data() {
    QTest::addColumn<QFont>("font");
    QTest::newRow("application font") << QApplication::font();
    QFont italic = QApplication::font();
    italic.setItalic(true);
    italic.setPointSize(11);
    QTest::newRow("italic 11 point") << italic;
    QTest::newRow("serif") << QFont(QStringLiteral("Serif"), 10);
  }
  void tableGivesWhatTheFontMeasures() {
    QFETCH(QFont, font);
    FontTextMeasure measure(font);
    QRandomGenerator rng(42);
    std::vector<std::string> texts = {"",
                                      "Application handle",
                                      "0x0005001C0000000001A4001152",
                                      "AVAWTeToLT",
                                      "office fluffy affine",
                                      "UOW Executing",
                                      "11/27/2026 16:42:08.305517",
                                      "Größe",
                                      "tab\there"};
    for (int i = 0; i < 2000; ++i) {
      std::string s;
      const int n = 1 + static_cast<int>(rng.bounded(40));
      for (int k = 0; k < n; ++k) s += static_cast<char>(32 + rng.bounded(95));
      texts.push_back(s);
    }
    for (const std::string& t : texts) QVERIFY2(measure.textWidthTwips(t) == measure.measuredWidthTwips(t), t.c_str());
  }

  void samplesLoadWithTheSameWidthsBothWays() {
    const QDir samples(QStringLiteral(TARVOLIN_SAMPLES_DIR));
    const QStringList files = samples.entryList({QStringLiteral("*.txt")}, QDir::Files);
    if (files.isEmpty()) QSKIP("no sample reports");
    QDir::setCurrent(QDir::tempPath());
    FontTextMeasure fast(QApplication::font());
    PlainMeasure plain(QApplication::font());
    for (const QString& f : files) {
      const std::vector<int> a = loadWidths(samples.filePath(f), fast);
      const std::vector<int> b = loadWidths(samples.filePath(f), plain);
      QVERIFY2(a == b, qPrintable(f));
    }
  }
};

QTEST_MAIN(FontTextMeasureTest)
#include "font_text_measure_test.moc"
