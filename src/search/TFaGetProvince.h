#pragma once

#include <QFrame>

class QLabel;
class QToolButton;
class TKIdLookup;

// The province picker: a code box over the provinces (code-table group
// "CITY"; empty allowed) with the province's name beside it, and a search
// button that works while the box has the focus (F5 in the box as well).
// Each search uses a code-table look-up of its own and leaves none behind,
// so the look-up's next user starts from a fresh one.
class TFaGetProvince : public QFrame {
    Q_OBJECT
public:
    explicit TFaGetProvince(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    TKIdLookup* Province = nullptr;
    QLabel* ProvinceName = nullptr;
    QToolButton* BtSearchShipProvince = nullptr;

    void searchProvince();  // BtSearchShipProvince, F5 in the box

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
