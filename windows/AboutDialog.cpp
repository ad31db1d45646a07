// The About box. Its texts, icon and picture are in template 142; the code gives the links and the picture their
// addresses and closes the box on a click.
#include "windows/AboutDialog.h"

#include "resources/resource.h"

AboutDialog::AboutDialog() : fw::Dialog(IDD_ABOUT) {}

void AboutDialog::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Control(dx, IDC_MAIL, mailLink);
    fw::DDX_Control(dx, IDC_WEB, webLink);
}

BOOL AboutDialog::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // The labels keep their template texts; only what they open and name in their tooltips is set here.
    mailLink.SetTarget(TARVISK_MAIL_URL);
    mailLink.SetPointerCursor(IDC_HAND_POINT);
    webLink.SetTarget(TARVISK_WEB_URL);
    webLink.SetPointerCursor(IDC_HAND_POINT);
    pictureButton.SubclassDlgItem(IDC_PICTUREBTN, this);
    pictureButton.UseParentBackground(FALSE);
    pictureButton.SetLinkAddress(TARVISK_WEB_URL);
    pictureButton.SetHoverCursor(IDC_HAND_POINT, TRUE);
    return TRUE;
}

// The static texts, the icon and the picture take no mouse input, so a click on any of them lands here too; the
// links and the picture button take their own clicks.
void AboutDialog::OnLButtonDown(UINT, POINT) {
    OnOK();
    Default();
}

void AboutDialog::OnRButtonDown(UINT, POINT) {
    OnOK();
    Default();
}
