// The layer list and its on and frozen boxes.
#include "layer_panel.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>

namespace contura::qt {
namespace {

constexpr int kSwatchPixels = 12;

QIcon swatch(const QColor& color) {
  QPixmap pixmap(kSwatchPixels, kSwatchPixels);
  pixmap.fill(color);
  QPainter painter(&pixmap);
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, kSwatchPixels - 1, kSwatchPixels - 1);
  return QIcon(pixmap);
}

}  // namespace

LayerPanel::LayerPanel(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(kColumns);
  setHeaderLabels({"图层", "开", "冻结"});
  setRootIsDecorated(false);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(kName, QHeaderView::Stretch);
  header()->setSectionResizeMode(kOn, QHeaderView::ResizeToContents);
  header()->setSectionResizeMode(kFrozen, QHeaderView::ResizeToContents);
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (m_filling || (column != kOn && column != kFrozen)) return;
    emit layerChanged(item->text(kName), item->checkState(kOn) == Qt::Checked,
                      item->checkState(kFrozen) == Qt::Checked);
  });
}

void LayerPanel::showLayers(const std::vector<LayerInfo>& layers) {
  m_filling = true;
  // The same layers are updated where they are: the item whose box was just changed may be
  // the one being shown again (this runs from its own change).
  bool sameLayers = topLevelItemCount() == static_cast<int>(layers.size());
  for (int i = 0; sameLayers && i < topLevelItemCount(); ++i)
    sameLayers = topLevelItem(i)->text(kName) == layers[static_cast<size_t>(i)].name;
  if (!sameLayers) {
    clear();
    for (const LayerInfo& layer : layers) {
      auto* item = new QTreeWidgetItem(this);
      item->setText(kName, layer.name);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
  }
  for (int i = 0; i < topLevelItemCount(); ++i) {
    const LayerInfo& layer = layers[static_cast<size_t>(i)];
    QTreeWidgetItem* item = topLevelItem(i);
    item->setIcon(kName, swatch(layer.color));
    item->setToolTip(kName, QString("颜色 %1").arg(layer.colorIndex));
    item->setCheckState(kOn, layer.on ? Qt::Checked : Qt::Unchecked);
    item->setCheckState(kFrozen, layer.frozen ? Qt::Checked : Qt::Unchecked);
  }
  m_filling = false;
}

}  // namespace contura::qt
