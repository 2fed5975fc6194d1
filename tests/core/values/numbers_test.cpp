// Exact decimals, snapshot times and the list of counters.
#include <gtest/gtest.h>

#include "core/values/counter_types.h"
#include "core/values/decimal.h"
#include "core/values/snapshot_time.h"

namespace tarvolin::core {
namespace {

TEST(Decimal, ChangeKeepsTheLargerScaleAndRateIsPerSecondOfTheInterval) {
  struct Case {
    const char* later;
    const char* earlier;
    int64_t micros;
    const char* change;
    const char* rate;
  };
  for (const Case& c :
       std::vector<Case>{{"12345", "12000", 10'000'000, "345", "34.500"},
                         {"0.0051", "0.004257", 1'000'000, "0.000843", "0.001"},
                         {"121000", "0", 60'500'000, "121000", "2000.000"},
                         {"2", "4", 3'000'000, "-2", "-0.667"},
                         {"1", "0", 3'000'000, "1", "0.333"},
                         {"+3.", ".5", 500'000, "2.5", "5.000"},
                         {"18446744073709551615", "0", 1, "18446744073709551615", "18446744073709551615000000.000"}}) {
    const Decimal d = difference(*parseDecimal(c.later), *parseDecimal(c.earlier));
    EXPECT_EQ(formatDecimal(d), c.change) << c.later << " - " << c.earlier;
    EXPECT_EQ(formatDecimal(*ratePerSecond(d, c.micros)), c.rate) << c.later << " - " << c.earlier;
  }
  EXPECT_FALSE(ratePerSecond(Decimal{5, 0}, 0));
}

TEST(Decimal, OnlyPlainNumbersAreNumbers) {
  for (const char* text : {"Not Collected", "", " 12", "1e3", "0x1F", "1.2.3", "+", ".", "12 ms", "1,000",
                           "123456789012345678901", "0.1234567890123"})
    EXPECT_FALSE(parseDecimal(text)) << text;
}

TEST(SnapshotTime, EveryFormDb2PrintsGivesTheSameInstant) {
  const std::optional<int64_t> iso = parseSnapshotTime("2022-08-02 14:19:43.798840");
  ASSERT_TRUE(iso);
  // "/" is month first, "." and "-" day first, a given order wins over the form.
  for (const auto& [text, order] :
       std::vector<std::pair<const char*, std::optional<DateOrder>>>{{"08/02/2022 14:19:43.798840", {}},
                                                                     {"02-08-2022 14:19:43.798840", {}},
                                                                     {"02.08.2022 14.19.43.798840", {}},
                                                                     {"2022-08-02 14.19.43.798840", {}},
                                                                     {"08-02-2022 14:19:43.798840", DateOrder::MDY},
                                                                     {"02/08/2022 14:19:43.798840", DateOrder::DMY},
                                                                     {"2022-08-02 14:19:43.798840", DateOrder::DMY}})
    EXPECT_EQ(parseSnapshotTime(text, order), iso) << text;
  EXPECT_EQ(*parseSnapshotTime("10-01-2008 00:01:00") - *parseSnapshotTime("09-01-2008 23:59:00"), 120'000'000);
  EXPECT_EQ(parseSnapshotTime("13/01/2022 10:00:00"), parseSnapshotTime("2022-01-13 10:00:00"));  // no 13th month
  EXPECT_EQ(*parseSnapshotTime("2026-11-27 16:46:30.511874") - *parseSnapshotTime("11/27/2026 16:45:30.011874"),
            60'500'000);
  EXPECT_EQ(*parseSnapshotTime("03/01/2024 00:00:00.5") - *parseSnapshotTime("02/28/2024 23:59:59.000000"),
            int64_t{86'401'500'000});  // through a leap day
  for (const char* bad : {"", "Not Collected", "13/13/2022 10:00:00.000000", "2022-02-29 10:00:00.000000",
                          "2022-08-02 24:00:00.000000", "2022-08-02T14:19:43.798840", "2022-08-02 14:19:43,7"})
    EXPECT_FALSE(parseSnapshotTime(bad)) << bad;
  EXPECT_FALSE(parseSnapshotTime("02/08/2022 14:19:43", DateOrder::YMD));
  // One date with a day above 12 sets the order of the whole file.
  EXPECT_EQ(fileDateOrder({"", "01/02/2008 10:00:00", "25/01/2008 10:00:00"}), DateOrder::DMY);
  EXPECT_EQ(fileDateOrder({"11-27-2026 16:42:08", "01-02-2026 10:00:00"}), DateOrder::MDY);
  EXPECT_EQ(fileDateOrder({"12-12-2001 10:00:00", "12-15-2001 10:00:00"}), DateOrder::MDY);  // DB2's DCS samples
  EXPECT_EQ(parseDateOrder("dmy"), DateOrder::DMY);
}

TEST(SnapshotTime, TheHeadingTellsTheCapturesSpan) {
  const std::string a = "12/07/2026 15:35:00.118034", b = "12/07/2026 16:35:02.000001";
  EXPECT_EQ(captureSpanText({a, "", b}), "15:35 \u2013 16:35, 3 snapshots");
  EXPECT_EQ(captureSpanText({a, "12/07/2026 15:35:30.5"}), "15:35:00 \u2013 15:35:30, 2 snapshots");
  EXPECT_EQ(captureSpanText({a, "12/08/2026 00:10:00"}), "12/07/2026 15:35 \u2013 12/08/2026 00:10, 2 snapshots");
  EXPECT_EQ(captureSpanText({a}), a);
  EXPECT_EQ(captureSpanText({"", ""}), "");
  const ClockReading at{2026, 12, 7, 9, 5, 3};
  EXPECT_EQ(stampText(at), "12/07/2026 09:05:03");
  EXPECT_EQ(stampText(at, "07.12.2026 16.35.00.000000"), "07.12.2026 09.05.03");
  EXPECT_EQ(stampText(at, "2026-12-07 16:35:00"), "2026-12-07 09:05:03");
}

TEST(CounterTypes, ExactLabelsWinOverPatternsAndBadLinesAreNamed) {
  std::vector<std::string> errors;
  const CounterTypes t = CounterTypes::parse(
      "# comment\r\ncounter Buffer pool * reads\r\ngauge Buffer pool data logical reads\n\nsum Rows read\n", errors);
  EXPECT_EQ(t.typeOf("Buffer pool index physical reads"), ValueType::Counter);
  EXPECT_EQ(t.typeOf("Buffer pool data logical reads"), ValueType::Gauge);
  EXPECT_EQ(t.typeOf("Buffer pool index physical writes"), ValueType::Unlisted);
  EXPECT_EQ(t.typeOf("Rows read"), ValueType::Unlisted);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("line 5:", 0), 0u);
}

TEST(CounterTypes, TheShippedListKnowsTheUsualCountersAndGauges) {
  const CounterTypes t = loadCounterTypes(TARVOLIN_DATA_DIR);  // throws on a bad line
  for (const char* name :
       {"Number of executions", "Rows read", "Statement sort overflows", "Total execution time (sec.microsec)",
        "Buffer pool temporary data physical reads", "Buffer pool xda writes", "Asynchronous pool data page writes",
        "Rows Read", "Overflows", "Page reorgs", "Lock waits", "Deadlocks detected", "Total wait time (ms)"})
    EXPECT_EQ(t.typeOf(name), ValueType::Counter) << name;
  for (const char* name : {"Locks held", "Lock Count", "Hold Count", "Number of used pages", "High water mark (pages)",
                           "Current tablespace size (bytes)", "Agents currently waiting on locks"})
    EXPECT_EQ(t.typeOf(name), ValueType::Gauge) << name;
  EXPECT_EQ(t.typeOf("Application handle"), ValueType::Text);
}

}  // namespace
}  // namespace tarvolin::core
