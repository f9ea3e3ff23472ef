// What the window says at start about a profiles file with lines it could not use.
#include "ui/profile_report.h"

#include <QtTest>

#include "text/gbk_literal.h"

using namespace vd::literals;

class ProfileReportTest : public QObject {
  Q_OBJECT

 private slots:
  void names_each_ignored_line_under_one_heading() {
    vd::ProfileLoad load =
        vd::parse_profiles("[baidu]\nhost = www.baidu.com\nblok.start = x\nthis is not a line\n");
    load.path = "engines.ini";
    const std::string message = vd::profile_warning_message(load);
    QVERIFY(message.rfind("搜索引擎配置文件中有以下行未被采用，其余设置照常生效：\n"_gbk, 0) == 0);
    QVERIFY(message.find("engines.ini:3:") != std::string::npos);
    QVERIFY(message.find("engines.ini:4:") != std::string::npos);
    QVERIFY(message.find("engines.ini:2:") == std::string::npos);
  }

  void says_nothing_for_a_clean_or_missing_file() {
    QVERIFY(vd::profile_warning_message(vd::parse_profiles("[sogou]\nhost = www.sogou.com\n")).empty());
    QVERIFY(vd::profile_warning_message(vd::read_profiles_file("/nonexistent/engines.ini")).empty());
  }
};

QTEST_MAIN(ProfileReportTest)
#include "profile_report_test.moc"
