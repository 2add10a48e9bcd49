#pragma once

#include "app/CSetupSheet.h"
#include "app/ScriptedUserInterface.h"
#include "crypto/CBlowfish.h"
#include "crypto/MasterKey.h"
#include "db/SqlText.h"
#include "install/CreateDatabases.h"
#include "tables/AttorneyRoster.h"
#include "tables/DatabaseHandles.h"
#include "tables/DistrictCache.h"
#include "tests/db/DatabaseTestSupport.h"
#include "tests/wizard/GuiTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <memory>
#include <sqlite3.h>

namespace guitest {

/// The roster's dialogs on a fresh main database made by CreateMainDatabase and the places
/// fixture, both open as the process's connections, with the master key set. Message boxes are
/// answered by the scripted user interface; the district cache is emptied at the end.
class RosterTest : public tltest::DatabaseTest {
protected:
    RosterTest() {
        sheet.firmName = "Lee & O'Hara";
        sheet.masterPassword = "Tr0ub4dor";
        EXPECT_TRUE(CreateMainDatabase(sheet, kHome));
        theMainDb.OpenEx(FormatConnectString(kHome, "tallymar"));
        tltest::MakePlacesDatabase("C:\\Firm\\TallymarPlaces.mdb");
        thePlacesDb.OpenEx(FormatConnectString(kHome, "tallymarplaces"));
        theMasterKey = std::make_unique<CBlowfish>(sheet.masterPassword);
        setupProgress_ = ui.ProgressEvents().size();
    }
    ~RosterTest() override {
        theDistrictCache.Clear();
        theMasterKey.reset();
    }

    static AttorneyInfo Attorney(const std::string& name, bool isDefault = false) {
        AttorneyInfo info;
        info.Name = name;
        info.Address1 = "1 Main St";
        info.Zipcode = "12207";
        info.City = "Albany";
        info.State = "NY";
        info.Default = isDefault;
        return info;
    }
    static EcfLogin Login(const std::string& district, const std::string& user) {
        EcfLogin login;
        login.District = district;
        login.UserName = user;
        AssignSecret(login.Password, "pw-" + user);
        login.BarNumber = "bar-" + user;
        return login;
    }

    /// The progress calls made since the fixture was set up.
    std::vector<std::string> Progress() const {
        const auto& events = ui.ProgressEvents();
        return {events.begin() + static_cast<std::ptrdiff_t>(setupProgress_), events.end()};
    }

    std::vector<std::string> Query(const std::string& sqliteQuery) { return Rows(theMainDb, sqliteQuery); }

    /// Texts of the scripted boxes shown since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> texts;
        for (std::size_t i = seenMessages_; i < ui.Messages().size(); ++i)
            texts.push_back(ui.Messages()[i].text);
        seenMessages_ = ui.Messages().size();
        return texts;
    }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kInstallCaptionId};

private:
    std::size_t seenMessages_ = 0;
    std::size_t setupProgress_ = 0;
};

/// Counts the statements a connection runs while it lives.
class StatementCounter {
public:
    explicit StatementCounter(CDatabase& db) : db_(db) {
        sqlite3_trace_v2(db_.Handle(), SQLITE_TRACE_STMT, &StatementCounter::Count, this);
    }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
    ~StatementCounter() { sqlite3_trace_v2(db_.Handle(), 0, nullptr, nullptr); }
    int Statements() const { return count_; }

private:
    static int Count(unsigned, void* context, void*, void*) {
        ++static_cast<StatementCounter*>(context)->count_;
        return 0;
    }
    CDatabase& db_;
    int count_ = 0;
};

/// Types characters that have no key of their own (beyond ASCII) one by one, as an input method
/// would: each goes through the edit's validator and length limit.
inline void TypeCharacters(QLineEdit* edit, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

/// Double-clicks an item of a list as the user does: the first click selects it.
inline void DoubleClick(QListWidget* list, int row) {
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

/// The text an edit shows, as the dialogs store it.
inline std::string Text(const QWidget* parent, const char* name) {
    return Find<QLineEdit>(parent, name)->text().toStdString();
}

} // namespace guitest
