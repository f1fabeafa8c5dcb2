#pragma once
// The shared set-up of the program's tests: one application object for the process, a
// temporary working directory with the program's tables, a fixed clock, a scripted
// random source, a recorder instead of the error box, and a modal runner that only
// shows a window (so a test drives it and then looks at what is left on screen).

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QDialog>
#include <QTest>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "app/AppState.h"
#include "app/ErrorBox.h"
#include "app/InfoForm.h"
#include "app/KazApplication.h"
#include "app/KazForm.h"
#include "app/MainForm.h"
#include "app/ModalRunner.h"
#include "app/RadioGroup.h"
#include "app/RandomSource.h"
#include "app/ScreenScale.h"
#include "app/Startup.h"
#include "app/TestForm.h"
#include "controls/FcLabel.h"
#include "controls/FcShapeBtn.h"
#include "controls/FcStatusBar.h"
#include "dataset/DateTime.h"
#include "dataset/RidedezDataSet.h"
#include "engine/DbfCreate.h"
#include "engine/platform/Clock.h"

namespace apptest {

inline TKazApplication& Application() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static TKazApplication* app = new TKazApplication(argc, argv);
    return *app;
}

// Answers the positions it was given, in order (1 when it runs out), and keeps the seeds.
class ScriptedRandom : public RandomSource {
public:
    void Seed(uint32_t seed) override { seeds.push_back(seed); }
    int Uniform(int lo, int hi) override {
        if (positions.empty()) return lo;
        int v = positions.front();
        positions.pop_front();
        return v < lo ? lo : (v > hi ? hi : v);
    }
    std::deque<int> positions;
    std::vector<uint32_t> seeds;
};

struct Question {
    std::string input, a, b, c, d, e;
};

// The display bytes of the answer in field `f` of question `q`.
inline const std::string& FieldOf(const Question& q, char f) {
    switch (f) {
        case 'A': return q.a;
        case 'B': return q.b;
        case 'C': return q.c;
        case 'D': return q.d;
        default: return q.e;
    }
}

inline std::vector<Question> MakeQuestions(int n) {
    std::vector<Question> qs;
    for (int i = 1; i <= n; ++i) {
        const std::string k = std::to_string(i);
        qs.push_back({"Question " + k, "right " + k, "wrong B" + k, "wrong C" + k, "wrong D" + k, "wrong E" + k});
    }
    return qs;
}

struct LogRecord {
    std::string name, variant;
    int count = 0, truecount = 0;
    TDateTime date = 0;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        char buf[4096];
        oldCwd_ = getcwd(buf, sizeof buf) ? buf : "/";
        ASSERT_EQ(chdir(dir_.Path().c_str()), 0);
        clock_ = std::make_shared<platform::FixedClock>(platform::DateTime{2024, 5, 20, 10, 0, 0, 0});
        oldClock_ = platform::SetClock(clock_);
        random_ = std::make_shared<ScriptedRandom>();
        SetRandomSource(random_);
        SetErrorBox([this](const QString& t) { errors.push_back(t); });
        SetModalRunner([this](QDialog& d) {
            modalShown.push_back(&d);
            d.show();
        });
        // A screen of the designs' own density: the windows keep their design sizes.
        SetScreenMetrics([] { return ScreenMetrics{1280, kDesignDpi, 1024}; });
        TestMode = false;
    }

    void TearDown() override {
        DestroyForms();
        SetScreenMetrics({});
        SetModalRunner({});
        SetErrorBox({});
        SetRandomSource(nullptr);
        platform::SetClock(oldClock_);
        if (chdir(oldCwd_.c_str()) != 0) {
        }
    }

    std::string File(const std::string& name) const { return dir_.File(name); }

    void MakeNameTable(const std::vector<std::string>& names, int width = 15) {
        CreateDBFTable(File("NAME.DBF"), 0x03, {{"Name", 'C', width, 0}});
        if (names.empty()) return;
        TRidedezDataSet t;
        t.SetTableName("NAME.DBF");
        t.Open();
        for (const std::string& n : names) t.AppendRecord({Text(n)});
    }

    void MakeInfoTable(const std::vector<LogRecord>& records = {}) {
        CreateDBFTable(File("INFO.DBF"), 0x03,
                       {{"NAME", 'C', 15, 0}, {"VARIANT", 'C', 2, 0}, {"COUNT", 'N', 3, 0},
                        {"TRUECOUNT", 'N', 3, 0}, {"DATE", 'D', 0, 0}});
        if (records.empty()) return;
        TRidedezDataSet t;
        t.SetTableName("INFO.DBF");
        t.Open();
        for (const LogRecord& r : records)
            t.AppendRecord({Text(r.name), Text(r.variant), Integer(r.count), Integer(r.truecount), DateOf(r.date)});
    }

    void MakeQuestionTable(const std::string& variant, const std::vector<Question>& qs) {
        const std::string name = "Kaz" + variant + ".dbf";
        CreateDBFTable(File(name), 0x03,
                       {{"Input", 'C', 200, 0}, {"A", 'C', 80, 0}, {"B", 'C', 80, 0}, {"C", 'C', 80, 0},
                        {"D", 'C', 80, 0}, {"E", 'C', 80, 0}});
        if (qs.empty()) return;
        TRidedezDataSet t;
        t.SetTableName(name);
        t.SetTranslateASCII(false);
        t.Open();
        for (const Question& q : qs) t.AppendRecord({Text(q.input), Text(q.a), Text(q.b), Text(q.c), Text(q.d), Text(q.e)});
    }

    // The standard tables and the windows.
    void StartProgram(const std::vector<std::string>& names = {}) {
        if (access(File("NAME.DBF").c_str(), F_OK) != 0) MakeNameTable(names);
        if (access(File("INFO.DBF").c_str(), F_OK) != 0) MakeInfoTable();
        CreateForms();
        MainForm->show();
        QApplication::setActiveWindow(MainForm);
    }

    // Reads the log (text as stored when `raw`, else translated back).
    std::vector<LogRecord> ReadLog(bool raw = false) {
        std::vector<LogRecord> out;
        TRidedezDataSet t;
        t.SetTableName("INFO.DBF");
        t.SetTranslateASCII(!raw);
        t.Open();
        for (t.First(); !t.Eof(); t.Next())
            out.push_back({t.FieldByName("NAME").AsString(), t.FieldByName("VARIANT").AsString(),
                           t.FieldByName("COUNT").AsInteger(), t.FieldByName("TRUECOUNT").AsInteger(),
                           t.FieldByName("DATE").AsDateTime()});
        return out;
    }

    std::vector<std::string> ReadNames() {
        std::vector<std::string> out;
        TRidedezDataSet t;
        t.SetTableName("NAME.DBF");
        t.Open();
        for (t.First(); !t.Eof(); t.Next()) out.push_back(t.FieldByName("Name").AsString());
        return out;
    }

    // Types text key by key, letters outside ASCII too.
    static void TypeText(QWidget* w, const QString& text) {
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &release);
        }
    }
    static void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }
    // Clicks answer item i (0 to 4) on its indicator.
    static void ClickAnswer(int i) {
        QRadioButton* b = TestForm->RadioGroup->Item(i);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // The item that shows field "A" in the current arrangement.
    static int RightItem() { return TestForm->RightAnswerPos - 1; }
    static int WrongItem() { return TestForm->RightAnswerPos % 5; }

    void SetNow(int y, int mo, int d, int h = 10, int mi = 0, int s = 0) {
        clock_->now = platform::DateTime{y, mo, d, h, mi, s, 0};
    }

    std::vector<QString> errors;
    std::vector<QDialog*> modalShown;
    std::shared_ptr<ScriptedRandom> random_;
    std::shared_ptr<platform::FixedClock> clock_;

private:
    testutil::TempDir dir_;
    std::string oldCwd_;
    std::shared_ptr<platform::Clock> oldClock_;
};

}  // namespace apptest
