#include "mibcore/registry/MIB.h"

#include "mibcore/agent/AppConstants.h"
#include "mibcore/platform/Resources.h"

#include <QMetaObject>
#include <QWidget>

MIB* MIB::m_head = nullptr;
MIB* MIB::m_tail = nullptr;
const unsigned int MIB::m_graphStatusBarMenu[3] = {0, 0, 1127};
const unsigned int MIB::m_listStatusBarMenu[3] = {0, 0, 1128};

MIB::MIB() { AddMIB(this); }

MIB::MIB(const std::string& n) : name(n) { AddMIB(this); }

MIB::MIB(double n) : no(n) { AddMIB(this); }

MIB::~MIB()
{
    unlink();
    delete[] viewTemplates;
}

void MIB::AddMIB(MIB* mib)
{
    if (!mib)
        return;
    // Linking a descriptor twice would make the list cyclic.
    for (MIB* p = m_head; p; p = p->next)
        if (p == mib)
            return;
    mib->prev = mib->next = nullptr;
    if (!m_head) {
        m_head = m_tail = mib;
        return;
    }
    for (MIB* p = m_head; p; p = p->next) {
        if (p->no > mib->no) {
            mib->next = p;
            mib->prev = p->prev;
            if (p->prev)
                p->prev->next = mib;
            else
                m_head = mib;
            p->prev = mib;
            return;
        }
    }
    mib->prev = m_tail;
    m_tail->next = mib;
    m_tail = mib;
}

void MIB::unlink()
{
    bool linked = false;
    for (MIB* p = m_head; p; p = p->next)
        if (p == this) {
            linked = true;
            break;
        }
    if (!linked)
        return;
    if (prev)
        prev->next = next;
    else
        m_head = next;
    if (next)
        next->prev = prev;
    else
        m_tail = prev;
    prev = next = nullptr;
}

void MIB::createViewTemplates(int count)
{
    delete[] viewTemplates;
    viewTemplates = nullptr;
    viewTemplateCount = 0;
    if (count <= 0)
        return;
    viewTemplates = new ViewDocTemplate[count];
    viewTemplateCount = count;
    for (int i = 0; i < count; ++i)
        viewTemplates[i].setId(wview);
}

MIB* MIB::Find(const std::string& n)
{
    for (MIB* p = m_head; p; p = p->next)
        if (p->name == n)
            return p;
    return nullptr;
}

MIB* MIB::FindView(const QMetaObject* cls)
{
    if (!cls)
        return nullptr;
    for (MIB* p = m_head; p; p = p->next)
        if (p->getViewClass() == cls)
            return p;
    return nullptr;
}

MIB* MIB::FindDocument(const QMetaObject* cls)
{
    if (!cls)
        return nullptr;
    for (MIB* p = m_head; p; p = p->next)
        if (p->getDocumentClass() == cls)
            return p;
    return nullptr;
}

MIB* MIB::FindFrame(const QMetaObject* cls)
{
    if (!cls)
        return nullptr;
    for (MIB* p = m_head; p; p = p->next)
        if (p->getFrameClass() == cls)
            return p;
    return nullptr;
}

platform::MultiDocTemplate* MIB::getViewDocTemplate(int id) const
{
    for (int i = 0; i < viewTemplateCount && viewTemplates; ++i)
        if (viewTemplates[i].getId() == id)
            return viewTemplates[i].getMultiDocTemplate();
    return nullptr;
}

void MIB::setViewDocTemplate(int id, platform::MultiDocTemplate* tmpl)
{
    for (int i = 0; i < viewTemplateCount && viewTemplates; ++i)
        if (viewTemplates[i].getId() == id)
            viewTemplates[i].setMultiDocTemplate(tmpl);
}

void MIB::getIniFileFullPath(std::string& path) const
{
    path = AppConstants::getInstance()->getIniPath(iniFile);
}

std::string MIB::IniPathOf(const MIB* mib)
{
    std::string path;
    if (mib)
        mib->getIniFileFullPath(path);
    return path;
}

void MIB::ApplyIcon(QWidget* window, const MIB* mib)
{
    if (!window || !mib)
        return;
    QIcon icon = platform::LoadIcon(mib->getIcon());
    if (!icon.isNull())
        window->setWindowIcon(icon);
}
