/* Controls of the customize sheet's pages: input method (620), fonts
   (619) and recovery (626). Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_CUSTOMIZE_IDS_H
#define QZ_RESOURCES_CUSTOMIZE_IDS_H

/* Input-method page: the lists of the title, question, answer and comment
   fields. */
#define IDC_IME_TITLE 1024
#define IDC_IME_QUESTION 1025
#define IDC_IME_ANSWER 1026
#define IDC_IME_COMMENT 1027

/* Fonts page. */
#define IDC_FONTS_USE_DATA 1024
#define IDC_FONTS_KIND 1025
#define IDC_FONTS_FONT 1026
#define IDC_FONTS_BACK 1027
#define IDC_FONTS_PREVIEW 1028

/* Recovery page: the interval in seconds and its up-down control. */
#define IDC_RECOVERY_INTERVAL 1024
#define IDC_RECOVERY_SPIN 1025

/* Every page. */
#define IDC_CUSTOMIZE_RESET 1060

#endif
