// The status report box: its seven lines on an empty and a populated
// table, with failed queries, and shown only once the lock is free.
#include <gmock/gmock.h>

#include <QPushButton>
#include <future>

#include "session/StatusReport.h"
#include "store/DatabaseIO.h"
#include "tests/app/GuiTestSupport.h"

namespace velt::test {
namespace {

using ::testing::SizeIs;
using ::testing::StartsWith;

class StatusReportTest : public StartedWindow {
 protected:
  void PressStatus() { Control<QPushButton>("BtnStatus").click(); }

  void InsertRow(const char* kbid, const char* rescode) {
    Exec(std::string("INSERT INTO VELTINDEX(KBID,URL,RESCODE) VALUES(\"") + kbid + "\",\"u" + kbid + "\"," + rescode +
         ")");
  }
};

TEST_F(StatusReportTest, EmptyTableShowsZeroCountsAndBareNumberLinesEachTime) {
  PressStatus();
  PressStatus();
  ASSERT_THAT(boxes_.Requests(), SizeIs(2));
  for (const auto& box : boxes_.Requests()) {
    EXPECT_EQ(box.text,
              "－－－　ダウンロード状況　－－－\r\n"
              "\r\n"
              "　　　[全体件数]　0 件　\r\n"
              "　　　[存在件数]　0 件　\r\n"
              "　　　[不在件数]　0 件　\r\n"
              "　　　[最小番号]　　\r\n"
              "　　　[最大番号]　　\r\n");
    EXPECT_EQ(box.flags & 0xF0u, unsigned{MbIconInformation});
  }
}

TEST_F(StatusReportTest, CountsEveryRowButOnlyExistingAndAbsentOnesSeparately) {
  InsertRow("100007", "200");
  InsertRow("100001", "302");
  InsertRow("100003", "0");
  InsertRow("100004", "NULL");
  InsertRow("100002", "200");
  InsertRow("100009", "404");
  InsertRow("100008", "302");
  PressStatus();
  ASSERT_THAT(boxes_.Requests(), SizeIs(1));
  EXPECT_EQ(boxes_.Requests()[0].text,
            "－－－　ダウンロード状況　－－－\r\n"
            "\r\n"
            "　　　[全体件数]　7 件　\r\n"
            "　　　[存在件数]　2 件　\r\n"
            "　　　[不在件数]　2 件　\r\n"
            "　　　[最小番号]　100002　\r\n"
            "　　　[最大番号]　100007　\r\n");
}

TEST_F(StatusReportTest, FailedQueriesShowTheirDefaultAndErrorAndTheBoxStillComes) {
  Exec("DROP VIEW VELTINDEXV");
  Exec("DROP TABLE VELTINDEX");
  const StatusFigures figures = QueryStatusFigures();
  EXPECT_EQ(figures.total, -1);
  EXPECT_EQ(figures.existing, -1);
  EXPECT_EQ(figures.absent, -1);
  EXPECT_EQ(figures.lowest, "");
  EXPECT_EQ(figures.highest, "");
  for (const std::string* error : {&figures.totalError, &figures.existingError, &figures.absentError,
                                   &figures.lowestError, &figures.highestError}) {
    EXPECT_FALSE(error->empty());
  }

  PressStatus();
  ASSERT_THAT(boxes_.Requests(), SizeIs(1));
  const std::string& text = boxes_.Requests()[0].text;
  EXPECT_THAT(text, StartsWith("－－－　ダウンロード状況　－－－\r\n\r\n　　　[全体件数]　-1 件　" + figures.totalError + "\r\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\r\n　　　[最大番号]　　" + figures.highestError + "\r\n"));
}

TEST_F(StatusReportTest, TheBoxIsShownAfterTheLockIsReleased) {
  bool lockWasFree = false;
  const MessageBoxHandler recorder = SetMessageBoxHandler([&](const std::string&, const std::string&, unsigned) {
    auto other = std::async(std::launch::async, [] { CriticalSectionGuard hold(DatabaseLock); });
    lockWasFree = other.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    return int{IdOk};
  });
  PressStatus();
  SetMessageBoxHandler(recorder);
  EXPECT_TRUE(lockWasFree);
}

}  // namespace
}  // namespace velt::test
