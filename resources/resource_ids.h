/* Resource numbers shared by the .rc files and the code that loads them. */
#pragma once

/* The program's own icon: the first icon, which Explorer shows for the .exe. */
#define TARNWELL_PROGRAM_ICON 1
/* The picture on the progress window's Cancel button. */
#define TARNWELL_CANCEL_ICON 201
