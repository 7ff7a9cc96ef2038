#include "optimizer/app/selection_pages.h"

namespace vu::optimizer {

const std::array<SelectionPage, kSelectionPageCount> kSelectionPages = {{
    {"Broken Links",
     "There are many instances of everyday computer life where links (such as those in your "
     "Start Menu) become obsolete as what they point to are deleted.",
     "These links do nothing but slow down your system when they are loaded.",
     "Optimizer can remove these links from your system.", "Remove broken links",
     Step::BrokenLinks},
    {"Registry Mistakes",
     "The system registry is a huge resource of information concerning how your machine is run.",
     "Mistakes in the registry do nothing but slow your system down.",
     "Optimizer can remove these mistakes", "Remove registry mistakes", Step::RegistryMistakes},
    {"Virtual Cache",
     "Windows uses Virtual Cache to speed up the execution of programs, but its usage can be "
     "optimized.",
     "Optimizing Virtual Cache can greatly speed up a computer.",
     "Optimizer can optimize your Virtual Cache", "Optimize Virtual Cache", Step::VirtualCache},
    {"Windows StartMenu",
     "The Windows StartMenu has a set delay set for how long it waits before it shows the inner "
     "folders.",
     "This delay is unnecessary an slows down the StartMenu browsing.",
     "Optimizer can speed up the StartMenu", "Speed up StartMenu", Step::StartMenu},
    {"DOS Boot Sequence",
     "When you first switch on your computer, you see a 'Starting Windows' prompt which waits for "
     "a while for a responce.",
     "This delay is unneccessary an just slows down the computer startup",
     "Optimizer can speed up this BootMenu", "Speed up DOS BootMenu", Step::DosBoot},
    {"Uninstall Information",
     "Whenever you remove a program from your system, if it isn't done properly Windows still "
     "stores incorrect information on uninstalling it.",
     "Removing these mistakes makes for less chance of system errors",
     "Optimizer can remove these mistakes", "Optimize Uninstall Info", Step::UninstallInfo},
    {"File System",
     "The File System is how windows deals with all the files that are loaded and used on a "
     "computer.",
     "Optimizing the File System effects all file access on a computer",
     "Optimizer can optimize the File System", "Optimize File System", Step::FileSystem},
    {"Internet Connection",
     "The settings your computer uses (inside the registry) are great determinants of how fast "
     "your connection with the internet is.",
     "Speeding up this connection speeds up all Internet transfer speeds.",
     "Optimizer can optimize your Internet connection", "Optimize Internet connection",
     Step::Internet},
    {"Windows Startup",
     "Inside of the Programs\\Startup folder are programs which aren't necessary for startup.",
     "These slow down the Windows startup time.", "Optimizer can find/remove these programs",
     "Check for unneeded Startups", Step::Startup},
    {"Orphaned DLLs",
     "When programs are removed from your system often DLL files (which they needed) are no "
     "longer in use",
     "These incorrect references slow down a computer unneccessarily",
     "Optimizer can remove these unneeded files", "Optimize Orphaned DLLs", Step::OrphanedDlls},
}};

int SelectionPageIndex(std::string_view title) {
  for (int i = 0; i < kSelectionPageCount; ++i) {
    if (kSelectionPages[i].title == title) return i;
  }
  return -1;
}

}  // namespace vu::optimizer
