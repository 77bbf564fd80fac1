// The framework's modal dialog when its template is missing: the caller must be
// able to tell that nothing ran.
#include "framework/Dialog.h"

#include <gtest/gtest.h>

namespace {

class CountingDialog : public CDialog {
public:
    CountingDialog() : CDialog(9999) {}
    int initialised = 0;

protected:
    BOOL OnInitDialog() override {
        ++initialised;
        return CDialog::OnInitDialog();
    }
};

TEST(FrameworkDialog, MissingTemplateReportsFailure) {
    CountingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.initialised, 0);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

} // namespace
