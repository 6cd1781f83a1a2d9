#pragma once
// TfrmScalable: the base of the modal windows whose controls follow the
// window's size. At creation the window records its client size and the
// bounds of every control; on every resize each recorded control is placed
// and sized in proportion to the client area, separately across and down,
// always starting from the recorded bounds. Fonts are not scaled.
//
// A control is any descendant widget that carries an objectName (its
// component name); Qt's internal parts of composite widgets (empty names or
// names starting with "qt_") are not controls, and neither is a child window
// or anything inside one. Controls are visited depth-first in creation order.
// Single-line edit boxes (QLineEdit) keep their height.
//
// Use from a derived window: build every control with its objectName, give
// the window its design client size, then call FormCreate(). A derived window
// that reacts to resizing overrides FormResize and calls the base first.
// GUI thread only.

#include <QDialog>

#include <memory>

#include "views/Items.h"

class TfrmScalable : public QDialog {
public:
    explicit TfrmScalable(QWidget* Parent = nullptr);
    // Runs FormDestroy: by then the derived window has freed its own helpers.
    ~TfrmScalable() override;

    // Client width / FDesignWidth (and height / FDesignHeight), a quotient of
    // integers held as float. 1 before FormCreate and for a design size of 0.
    float GetScaleX() const;
    float GetScaleY() const;

    int DesignWidth() const { return FDesignWidth; }
    int DesignHeight() const { return FDesignHeight; }
    // The recorded layout; none before FormCreate and after FormDestroy.
    const Items::TItemManager* Layout() const { return FLayout.get(); }

    // Rescales every recorded control from its design bounds; controls with
    // no record are left alone. Does nothing before FormCreate. Called on
    // every resize event.
    virtual void FormResize();

protected:
    // Records the current client size and every control's bounds. Calling it
    // again records afresh.
    void FormCreate();
    // Frees the layout records.
    void FormDestroy();

    void resizeEvent(QResizeEvent* Event) override;

private:
    int FDesignWidth = 0;
    int FDesignHeight = 0;
    std::unique_ptr<Items::TItemManager> FLayout;
};
