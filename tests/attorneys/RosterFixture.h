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

namespace guitest {

/// The roster's dialogs on a main database made by CreateMainDatabase and the places fixture, open
/// as the process's connections, with the master key set. Boxes are answered by the scripted user
/// interface; the district cache is emptied at the end.
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
        seen_ = ui.Messages().size();
        setupProgress_ = ui.ProgressEvents().size();
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
        return login;
    }

    /// Texts of the boxes shown since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> texts;
        for (; seen_ < ui.Messages().size(); ++seen_)
            texts.push_back(ui.Messages()[seen_].text);
        return texts;
    }
    /// The progress calls made since the fixture was set up.
    std::vector<std::string> Progress() const {
        return {ui.ProgressEvents().begin() + static_cast<std::ptrdiff_t>(setupProgress_),
                ui.ProgressEvents().end()};
    }

    ScopedScriptedUserInterface ui;
    CSetupSheet sheet{CSetupSheet::kInstallCaptionId};

private:
    std::size_t seen_ = 0;
    std::size_t setupProgress_ = 0;
};

/// Types characters beyond ASCII one by one, as an input method would: each goes through the
/// edit's validator and length limit.
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

inline QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

inline std::string Text(const QWidget* parent, const char* name) {
    return Find<QLineEdit>(parent, name)->text().toStdString();
}

inline void Click(const QWidget* parent, const char* name) {
    Find<QAbstractButton>(parent, name)->click();
}

} // namespace guitest
