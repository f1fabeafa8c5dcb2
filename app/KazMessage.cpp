#include "app/KazMessage.h"

#include "app/AppState.h"
#include "app/KazForm.h"
#include "app/ModalRunner.h"

void ShowKazMessage(std::string_view displayText) {
    if (!KazForm) return;
    KazForm->OfferReview(false);
    KazForm->SetMessage(displayText);
    ShowModal(*KazForm);
}

bool ShowFinalKazMessage(std::string_view displayText, bool offerReview) {
    if (!KazForm) return false;
    KazForm->OfferReview(offerReview);
    KazForm->SetMessage(displayText);
    ShowModal(*KazForm);
    return offerReview && KazForm->ReviewChosen();
}
