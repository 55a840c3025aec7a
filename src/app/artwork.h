// The program's own pictures, drawn at start: its icon and the two sponsorship images.
#ifndef VANTRY_APP_ARTWORK_H_
#define VANTRY_APP_ARTWORK_H_

#include <QIcon>
#include <QPixmap>

namespace vantry {

// A marked exam paper on a blue tile, in the sizes 16 to 256.
QIcon ProgramIcon();
// The two pictures of the sponsorship box (`which` 1 or 2), `size` pixels square: a
// heart for "thank you" and a cup of tea.
QPixmap SponsorPicture(int which, int size);

}  // namespace vantry

#endif  // VANTRY_APP_ARTWORK_H_
