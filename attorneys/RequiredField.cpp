#include "attorneys/RequiredField.h"

#include "app/UserInterface.h"
#include "platform/Format.h"
#include "platform/WinTypes.h"

#include <QLineEdit>
#include <QWidget>

bool CheckRequiredField(const char* formName, QWidget* /*dialog*/, const QString& value, const char* label,
                        QWidget* control) {
    if (!value.isEmpty())
        return true;
    AppMessageBox(tl::Format("A value is required for the %s field on the %s form", label, formName),
                  win::MB_OK | win::MB_ICONERROR);
    FocusFailedControl(control);
    return false;
}

void FocusFailedControl(QWidget* control) {
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}
