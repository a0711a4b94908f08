// Identifiers of the program's resources (rastrex.rc), shared with the
// toolkit that draws them.
#pragma once

#define kProgramIconId 1
#define kAboutIconId 2
#define kArrowBitmapId 10
#define kBannerBitmapId 11
