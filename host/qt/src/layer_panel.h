// The layer panel: each layer of the drawing with its colour, and whether it is on and
// frozen; the boxes switch layers on and off and freeze or thaw them.
#pragma once
#include <QTreeWidget>

#include <vector>

#include "drawing_scene.h"

namespace contura::qt {

class LayerPanel : public QTreeWidget {
  Q_OBJECT

public:
  enum Column { kName, kOn, kFrozen, kColumns };

  explicit LayerPanel(QWidget* parent = nullptr);
  // Shows `layers` (the boxes change nothing while this runs).
  void showLayers(const std::vector<LayerInfo>& layers);

signals:
  // The person changed a box: the layer's wanted state.
  void layerChanged(const QString& name, bool on, bool frozen);

private:
  bool m_filling = false;
};

}  // namespace contura::qt
