// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/instructions.h"

namespace gb {

const char* instructionsPage() {
    return "<center><h2><font color=\"red\">Glimmerbox Usage Instructions</font></h2></center>"
           "Glimmerbox is a simple viewer for the jpg, jpeg, gif and bmp images on your computer: it lets you "
           "select them and look at them one at a time or as a slideshow, with or without changes of size. "
           "It shows them through the functions of the system's web browser component.<br>"

           "<h4><font color=\"red\">STARTING</font></h4>"
           "In the File menu choose \"Select and open image files\", then the folder and the image to start "
           "from. All the files of the chosen type in that folder are queued and the starting image is shown.<br>"
           "The others follow automatically, or on your clicks, keys and menu choices.<br>"

           "<h4><font color=\"red\">IMAGES FLOW</font></h4>"
           "The \"Folder/File\" box shows the name of the current image; opened, it lists the whole queue. "
           "The status bar shows how many images there are and which one is on show.<br>"
           "Enter goes forward and Backspace goes back, in A-Z order. A name picked in the \"Folder/File\" box, "
           "or a thumbnail clicked, jumps straight to that image.<br>"
           "The slideshow runs forward as long as the status bar does not show \"Pause\", at the interval of 1 to "
           "10 seconds set in the \"Interval\" box.<br>"

           "<h4><font color=\"red\">THUMBNAILS BAR</font></h4>"
           "In the View menu, \"View thumbnails\", or F2, shows or removes the bar of thumbnails at the left. "
           "The thumbnails follow the images; the key q brings them in line with the image on show.<br>"

           "<h4><font color=\"red\">PAUSE</font></h4>"
           "A click on the image sets or cancels the pause. Backspace, opening these instructions, opening the "
           "list of suspended images and some other actions set it; Enter removes it.<br>"

           "<h4><font color=\"red\">IMAGE SIZE</font></h4>"
           "\"+\" makes the image 10 % larger, \"-\" makes it 10 % smaller, \"0\" gives it back its size.<br>"

           "<h4><font color=\"red\">FULL SCREEN MODE</font></h4>"
           "In the Slideshow menu, \"Full screen mode\" gives the image the whole screen; its two choices say "
           "whether larger images are reduced and smaller images enlarged to the screen.<br>"
           "It hides the menu bar, the \"Folder/File\" bar and the thumbnails bar and keeps a simple status bar "
           "with the name of the image; \"+\", \"-\" and \"0\" still work. Esc switches it on and off.<br>"

           "<h4><font color=\"red\">CANCELLING OR SUSPENDING IMAGES</font></h4>"
           "z sends the current file to the trash, or erases it, as chosen in the Tools menu.<br>"
           "a suspends the current image from the show. The list of suspended images (Tools menu, \"Manage "
           "suspended images\", or F3) shows them and moves them out of the show and back in.<br>"
           "When you leave, you decide whether the suspended files stay in their folder or go to the trash (or "
           "are erased, if so chosen in the Tools menu).<br>"

           "<h4><font color=\"red\">W/H SCREEN RATIO CORRECTION</font></h4>"
           "The same window looks differently proportioned on a 16:9 screen and on a 4:3 one: too wide on the "
           "16:9 one, which makes people look squat.<br>"
           "The Tools menu offers predefined width/height ratios of the screen, and one of your own, to "
           "correct this.<br>"

           "<br><br><center>(F1 = END)</center>";
}

}  // namespace gb
