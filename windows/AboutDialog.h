// The About box: a captionless panel with the program's icon, title and credits, a picture that opens the web site,
// and links to the web site and the e-mail address. Any click on its surface closes it, and so does Esc.
#pragma once

#include "controls/IconButton.h"
#include "controls/LinkLabel.h"
#include "framework/Dialog.h"

class AboutDialog : public fw::Dialog {
public:
    AboutDialog();  // template 142, no parent

    LinkLabel mailLink;
    LinkLabel webLink;
    IconButton pictureButton;  // lies over the picture, so a click on the picture is a click on it

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
};
