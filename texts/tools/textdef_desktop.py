# Texts of the desktop's first steps: how to choose a port, the display dialog's gap hint,
# the user guide in the browser.


def define_desktop(T, R, COMBO, FIELD):
    T(2230, "Noch keine Schnittstelle gewählt: unter Parameter > Kanal 1... eine Schnittstelle wählen "
            "(oder einen Gerätepfad wie /dev/ttyUSB0 eingeben), dann auf die Online-Taste klicken.",
      "No port chosen yet: choose one under Parameters > Channel 1... (or type a device path such as "
      "/dev/ttyUSB0), then click the online button.",
      note="status bar line while no channel has a port")
    T(2231, "Leerraum zwischen zwei Telegrammen in Prozent einer Zeile (0..200)",
      "space between two telegrams in percent of a line (0..200)",
      note="display dialog: hint of the gap field (sfLeerZl)")
    T(2232, "Das Handbuch kann nicht im Browser geöffnet werden: %s",
      "The guide cannot be opened in the browser: %s", fmt="s",
      note="message: the guide page could not be handed to the browser (page)")
    T(2233, "Stationsabbild: %d Objekt von %s bis %s (%s)", "Station image: %d object from %s to %s (%s)",
      fmt="d,s,s,s", note="station image caption with one object (objects, start, end, span; text 2031 for more)")
    T(2234, "Stationsabbild: noch keine Objekte", "Station image: no objects yet",
      note="station image caption while the image is empty")
