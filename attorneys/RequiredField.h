#pragma once

#include <QString>

class QWidget;

/// The required-field check that the roster's dialogs share. A value that is not empty passes (a
/// value of spaces is not empty). An empty one shows "A value is required for the <label> field
/// on the <form> form" with the error icon, puts the focus on the control (selecting its whole
/// text when it is an edit) and fails.
bool CheckRequiredField(const char* formName, QWidget* dialog, const QString& value, const char* label,
                        QWidget* control);

/// Puts the focus on a control of a dialog that failed a check, selecting an edit's whole text.
void FocusFailedControl(QWidget* control);
