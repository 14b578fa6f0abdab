// The notice as the window must show it, line by line: the expectation the
// form and widget tests share.
#pragma once

namespace tarvik::test {

inline const char *const kNoticeLines[] = {
    "Lathmere is an Excel application. This can only work if when you open it, you allow the",
    "macros.",
    "",
    "The entry sheet cutting list is not protected so you can use all the features of Excel. "
    "However,",
    "this sheet has columns, rows, and fields needed to run the application. If you delete them, "
    "you may",
    "make the application unusable.",
    "In case due to improper handling or due to any problems the application becomes unusable, "
    "you",
    "have a backup copy in the same directory as this one,",
    "called 'Lathmere-copy.xls'. You will need to copy the file 'Lathmere-copy.xls' you",
    "rename it 'Lathmere.xls' and it is this copy that you then use.",
    "Always keep a file 'Lathmere-copy.xls' backup in case the application you are using",
    "unusable.",
    "",
    "You can get this information again in the tab 'Help', section 'What if the application is "
    "damaged'.",
};

} // namespace tarvik::test
