// The captionless popups that show the Wubi radical chart of one code edition. The main window creates one per
// edition at start, shows the selected edition's chart while the pointer rests on its thumbnail and hides it when the
// pointer moves on; the user can drag a shown chart with the left button and dismiss it with the right.
#pragma once

#include <windows.h>

#include "controls/AnimatedPicture.h"
#include "framework/Dialog.h"

// What tells the three charts apart.
struct ChartKind {
    int edition;        // the main window's edition the chart belongs to
    UINT templateId;    // dialog template
    UINT pictureId;     // its one static control, which shows the picture
    UINT gifId;         // GIF resource
    int leftOfThumb;    // how far left of the thumbnail's left edge the chart is shown, in pixels
};

// The 86 edition, the 98 edition and the rare characters, in the order the main window keeps them.
extern const ChartKind kChartKinds[3];

class ChartDialog : public fw::Dialog {
public:
    explicit ChartDialog(const ChartKind& kind);

    const ChartKind& Kind() const { return kind_; }

    AnimatedPicture chartPicture;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    // Without its picture the popup says why, instead of showing an empty box.
    void OnPaint() override;

private:
    SIZE FrameForPicture() const;

    ChartKind kind_;
    bool pictureTried_ = false;
};
