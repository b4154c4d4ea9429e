#pragma once

#include "SearchDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace search {

// What the customer and product attribute-code look-ups share: the codes
// of one attribute group (AttrGroupId, set by the caller) listed by
// description and code under a description box with a whole-word check
// box; the chosen row's code is SelectedCode. A look-up states its
// statement and how it opens.
class AttributeCodeLookUp : public SearchDialog {
    Q_OBJECT
public:
    int AttrGroupId = 0;
    QString SelectedCode;

    QLabel* Label1 = nullptr;
    QLineEdit* Description = nullptr;
    QCheckBox* FullWord = nullptr;
    QPushButton* BtOk = nullptr;
    QPushButton* BtCancel = nullptr;

protected:
    // Widths in pixels of the list's description and code columns.
    AttributeCodeLookUp(QWidget* parent, const QString& name, const QString& title, QSize size,
                        int descriptionWidth, int codeWidth);

    void takeResult() override;
    void clearResult() override;
    // Both boxes emptied and the group listed.
    void showStep() override;
};

} // namespace search
