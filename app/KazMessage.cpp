#include "app/KazMessage.h"

#include "app/AppState.h"
#include "app/KazForm.h"
#include "app/ModalRunner.h"

void ShowKazMessage(std::string_view displayText) {
    if (!KazForm) return;
    KazForm->SetMessage(displayText);
    ShowModal(*KazForm);
}
