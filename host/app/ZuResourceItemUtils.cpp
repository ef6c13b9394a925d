#include "host/app/ZuResourceItemUtils.h"

#include "host/app/ZuTavoCollectionItem.h"

ZuResourceItem* ZuResourceItemUtils::GetResourceItem(ZuTavoCollectionItem* item) {
  return item != nullptr ? item->GetShownResource() : nullptr;
}
