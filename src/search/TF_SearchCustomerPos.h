#pragma once

#include "TF_SearchCustomer.h"

// The customer search as the point-of-sale programs know it: the same
// window, whose province search button is wired through the window. Made
// at start-up; this program never opens it.
class TF_SearchCustomerPos : public TF_SearchCustomer {
    Q_OBJECT
public:
    explicit TF_SearchCustomerPos(QWidget* parent = nullptr);

    static TF_SearchCustomerPos* instance();

    void searchShipProvince();  // the province button's click, passed on to its frame
};

extern TF_SearchCustomerPos* F_SearchCustomerPos;
